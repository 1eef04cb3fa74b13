// The Windows programs are linked so that functions nothing calls are dropped
// (cmake/mingw-gc-link.sh), and so is this program. Every function that stays, above all the
// inline functions and template instances that link keeps one by one, must keep an unwind entry
// the unwinder finds, or an exception passing through it ends the program.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// Not in an anonymous namespace: the instances below are the shared kind the link keeps one of.
namespace tamsel::linked_unwinding {

int Refuse() { throw std::runtime_error("refused"); }

template <typename Function>
[[gnu::noinline]] int OneMoreThan(Function function) {
    return function() + 1;
}

struct CopyFails {
    explicit CopyFails(bool refuse = false) : armed(refuse) {}
    CopyFails(const CopyFails& other) : armed(other.armed) {
        if (armed) throw std::runtime_error("copy refused");
    }
    bool armed;
};

TEST(LinkedUnwinding, ExceptionsPassThroughSharedInstancesToTheirHandlers) {
    EXPECT_THROW(OneMoreThan(&Refuse), std::runtime_error);
    // Called through the std::function's stored invoker, which cannot be inlined.
    const std::function<int()> refusing = &Refuse;
    EXPECT_THROW(OneMoreThan(refusing), std::runtime_error);

    // The vector grows through its out-of-line insertion, whose clean-up runs before the
    // exception goes on; the vector is left as it was.
    std::vector<CopyFails> items(3);
    items.shrink_to_fit();
    EXPECT_THROW(items.push_back(CopyFails(true)), std::runtime_error);
    EXPECT_EQ(3u, items.size());

    // The C++ library's own instances.
    const std::string text = "abc";
    EXPECT_THROW((void)text.substr(4), std::out_of_range);
    EXPECT_THROW(items.reserve(items.max_size() + 1), std::length_error);
    std::string copy = text;
    EXPECT_THROW(copy.replace(10, 1, "x"), std::out_of_range);
}

}  // namespace tamsel::linked_unwinding
