#pragma once

/// The library's version, as a number and as a string ("1.0").
extern "C" const double ZorvikAPIVersionNumber;
extern "C" const unsigned char ZorvikAPIVersionString[];
