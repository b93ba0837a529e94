#include "ZorvikAPI/ZorvikAPI.h"

#include <cstdio>

int main()
{
    std::printf("zorvik (ZorvikAPI %.1f)\n", ZorvikAPIVersionNumber);
    return 0;
}
