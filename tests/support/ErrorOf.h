#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/RuntimeError.h"

namespace tamsel::test {

// The number of the RuntimeError a call raises (which must have a text); 0 when it raises none.
template <typename Call>
std::int32_t ErrorOf(Call&& call) {
    try {
        call();
    } catch (const RuntimeError& error) {
        EXPECT_FALSE(error.Description().empty());
        return error.Number();
    }
    return 0;
}

}  // namespace tamsel::test
