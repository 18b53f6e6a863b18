// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>

namespace chromabox {

// The logo's file, looked for in the working directory.
inline constexpr const char* LogoFileName = "Palette Logo.png";

// No logo may need more than this once decoded (width * height * 4 bytes); a picture that
// declares more is refused before anything that large is allocated. Files larger than this are
// refused unread.
inline constexpr std::size_t maxLogoBytes = std::size_t{64} << 20;

// Recognises a picture by its content, not its name: icon files, BMP and PNG pictures, tried in
// this order. nullopt when no decoder accepts the bytes or the one that does cannot decode them.
std::optional<QImage> decodeLogoPicture(std::span<const unsigned char> bytes);

// Reads a PNG picture with libpng; nullopt for anything that is not a whole, decodable PNG.
std::optional<QImage> decodePng(std::span<const unsigned char> bytes);

// Reads the whole file and decodes it. nullopt when it does not open, is not a regular file, is
// cut short or does not decode. Never reports anything.
std::optional<QImage> loadLogoPicture(const std::filesystem::path& fileName = LogoFileName);

}  // namespace chromabox
