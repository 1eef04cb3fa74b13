#include "platform/sandbox/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace tamsel::sandbox {

namespace {

// One iconv conversion, closed when it goes.
class Conversion {
  public:
    Conversion(const std::string& to, const std::string& from)
        : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~Conversion() {
        if (Valid()) iconv_close(cd_);
    }
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; stops at the first input it cannot convert and returns the
    // number of input bytes left.
    std::size_t Convert(const char*& in, std::size_t& inLeft, std::string& out) {
        std::vector<char> buffer(4 * inLeft + 16);
        while (inLeft > 0) {
            char* outPtr = buffer.data();
            std::size_t outLeft = buffer.size();
            char* inPtr = const_cast<char*>(in);
            const std::size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer.data(), buffer.size() - outLeft);
            in = inPtr;
            if (result != static_cast<std::size_t>(-1)) break;
            if (errno != E2BIG) break;
        }
        return inLeft;
    }

  private:
    iconv_t cd_;
};

std::string Name(int codePage) { return "CP" + std::to_string(codePage); }

}  // namespace

bool CodePageSupported(int codePage) {
    return codePage > 0 && Conversion(Name(codePage), "UTF-8").Valid() &&
           Conversion("UTF-8", Name(codePage)).Valid();
}

std::optional<std::string> Utf8ToCodePage(int codePage, const std::string& utf8) {
    Conversion conversion(Name(codePage), "UTF-8");
    if (!conversion.Valid()) return std::nullopt;
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    std::string out;
    if (conversion.Convert(in, left, out) != 0) return std::nullopt;
    return out;
}

std::string CodePageToUtf8(int codePage, const std::string& bytes) {
    Conversion conversion("UTF-8", Name(codePage));
    const char* in = bytes.data();
    std::size_t left = bytes.size();
    std::string out;
    if (!conversion.Valid()) return bytes;
    while (conversion.Convert(in, left, out) != 0) {
        out += "\xEF\xBF\xBD";  // U+FFFD for a byte the code page does not define
        ++in;
        --left;
    }
    return out;
}

}  // namespace tamsel::sandbox
