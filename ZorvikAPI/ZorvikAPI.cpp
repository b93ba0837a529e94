#include "ZorvikAPI/ZorvikAPI.h"

extern "C" const double ZorvikAPIVersionNumber = 1.0;
extern "C" const unsigned char ZorvikAPIVersionString[] = "@(#)PROGRAM:ZorvikAPI  PROJECT:ZorvikAPI-1\n";
