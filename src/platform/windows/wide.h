#pragma once

// UTF-8 inside the program, UTF-16 at the system's calls.

#include <string>
#include <string_view>

namespace tintwell::platform {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

} // namespace tintwell::platform
