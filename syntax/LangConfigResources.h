#pragma once

#include <cstdint>
#include <span>

// The built-in language archives compiled into the program, by resource id
// (154 "C++", 152 "C#", 166 "SQL", 155 "HTML", 156 "IDL", 157 "JScript",
// 158 "VB", 159 to 161 "VBScript1" to "VBScript3", 162 "XML", 163 "XSL").
// Empty when there is no resource of that id.
std::span<const std::uint8_t> FindLangConfigResource(int resourceId);
