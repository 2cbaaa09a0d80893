// Picture files as form data wants them: a JPEG file as is; for bitmap-based
// picture classes a BMP file, converted from PNG when needed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "RunTime.h"

// Decoded PNG as 8-bit straight (not premultiplied) BGRA, top row first.
struct PngPixels {
    int Width = 0, Height = 0;
    bool HasAlpha = false;  // colour type with alpha, or a transparency chunk
    std::vector<uint8_t> Bgra;
};

// Throws Exception naming the file on any failure.
PngPixels DecodePngFile(const std::string& path);

// BMP file (BmpCodec's writer): 32 bits straight alpha when the picture has
// alpha, else 24 bits.
std::vector<uint8_t> BmpFromPng(const PngPixels& px);

// The data of `picture Class 'file'`: looks the file up in the folders in
// order and returns it in the class's format (as is for an empty class).
std::vector<uint8_t> LoadPictureForClass(const std::string& graphicClass, const std::string& fileName,
                                         const std::vector<std::string>& folders, std::string* foundPath);
