#pragma once

// The four colour groups every configuration has, at indices 0 to 3.
enum class ColorGroupKind : int
{
    Text = 0,
    TextSelection = 1,
    Number = 2,
    Operator = 3,
};
