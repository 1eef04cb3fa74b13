// Cost of the registry procedures that both programs use, RegistryGetKeyValue and
// RegistrySetKeyValue, on a sandbox registry of 100,000 keys. A write is one durable SQLite
// transaction, so its figure is mostly the cost of the file system's sync.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "common/RegistryAccess.h"
#include "common/ui/MessageBox.h"
#include "platform/sandbox/SqliteRegistry.h"

namespace {

using tamsel::sandbox::SqliteRegistry;

constexpr int kKeyCount = 100000;
constexpr int kKeysPerGroup = 1000;

std::string KeyPath(int i) {
    return "SOFTWARE\\Bench\\Group" + std::to_string(i / kKeysPerGroup) + "\\Key" +
           std::to_string(i);
}

class NoMessages : public tamsel::MessageBoxes {
  public:
    tamsel::MsgResult ShowMessageBox(const tamsel::MessageBoxSpec&) override {
        throw std::logic_error("a registry procedure showed a message box");
    }
};

// A registry of kKeyCount keys, each with one text value "Path", in a temporary folder that
// goes when the program ends.
class BenchRegistry {
  public:
    BenchRegistry() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tamsel-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        directory_ = pattern;
        registry_ = SqliteRegistry::Open(directory_ / "registry.db");
        registry_->RunInTransaction([&] {
            for (int i = 0; i < kKeyCount; ++i) {
                tamsel::RegKey key = 0;
                registry_->CreateKeyEx(tamsel::reg::kLocalMachine, KeyPath(i), 0, nullptr, 0,
                                       tamsel::reg::kKeySixRights, &key, nullptr);
                std::string text = "C:\\Program Files\\App" + std::to_string(i) + "\\";
                registry_->SetValueEx(key, "Path", 0, tamsel::reg::kSz,
                                      reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                      static_cast<std::uint32_t>(text.size() + 1));
                registry_->CloseKey(key);
            }
        });
        access_ = std::make_unique<tamsel::RegistryAccess>(*registry_, messages_);
    }
    ~BenchRegistry() {
        access_.reset();
        registry_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }

    tamsel::RegistryAccess& Access() { return *access_; }

  private:
    std::filesystem::path directory_;
    std::unique_ptr<SqliteRegistry> registry_;
    NoMessages messages_;
    std::unique_ptr<tamsel::RegistryAccess> access_;
};

BenchRegistry& Registry() {
    static BenchRegistry registry;
    return registry;
}

// Keys visited in a scattered order, so that no two reads in a row hit the same pages.
int NextKey(int& state) {
    state = (state + 7919) % kKeyCount;
    return state;
}

void BM_RegistryGetKeyValue(benchmark::State& state) {
    auto& access = Registry().Access();
    int key = 0;
    for (auto _ : state) {
        auto value =
            access.RegistryGetKeyValue(tamsel::reg::kLocalMachine, KeyPath(NextKey(key)), "Path");
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_RegistryGetKeyValue);

void BM_RegistryGetKeyValueMissingKey(benchmark::State& state) {
    auto& access = Registry().Access();
    for (auto _ : state) {
        auto value = access.RegistryGetKeyValue(tamsel::reg::kLocalMachine,
                                                "SOFTWARE\\Bench\\Group7\\NoSuchKey", "Path");
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_RegistryGetKeyValueMissingKey);

void BM_RegistrySetKeyValue(benchmark::State& state) {
    auto& access = Registry().Access();
    int key = 0;
    for (auto _ : state) {
        access.RegistrySetKeyValue(tamsel::reg::kLocalMachine, KeyPath(NextKey(key)), "Path",
                                   tamsel::Variant("D:\\Elsewhere\\"), tamsel::reg::kSz);
    }
}
BENCHMARK(BM_RegistrySetKeyValue);

}  // namespace

BENCHMARK_MAIN();
