#pragma once

// The printable area of a page in device pixels, and the device's resolution.
// The area's top-left corner is the origin the page is drawn from.
struct SECEditPrintDevice
{
    int width = 0;
    int height = 0;
    int dpiX = 96;
    int dpiY = 96;
};
