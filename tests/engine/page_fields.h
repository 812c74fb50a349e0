#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/tolv_view.h"

namespace praxora::testing {

// The value of one of the real page's fields, read back through the exchange buffer.
inline std::string ReadPageField(CTolvView& view, const std::string& name) {
    EXPECT_TRUE(
        view.RunScript("document.getElementById('nativeBuffer').value="
                       "document.querySelector('[name=\"" +
                       name + "\"]').value;"));
    std::string value;
    EXPECT_TRUE(view.GetNativeBuffer(value));
    return value;
}

}  // namespace praxora::testing
