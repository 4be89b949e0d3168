// A minimal PNG writer for screenshots: 8-bit RGB, compressed by zlib.
#ifndef QUORVANE_TESTS_PNG_H
#define QUORVANE_TESTS_PNG_H

#include <string>
#include <vector>

bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb);

#endif
