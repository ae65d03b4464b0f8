#pragma once
// The one entry point of the picture-decoding module, looked up by name.

#include <string>

#include "core/ProblemCheck.h"

extern "C" void QelToolDecodePicture(const std::string& path, qel::PictureFacts& facts);
using QelToolDecodePictureFunction = decltype(&QelToolDecodePicture);

constexpr const char* kQelToolDecodePictureSymbol = "QelToolDecodePicture";
