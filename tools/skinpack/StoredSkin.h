// A skin folder read for packing: the files its skin text names, the
// container made of them, and the skin written into form text as a skin
// stored in a skin manager's form data, either as the "Data" container or as
// the item collections the loader reads when "Data" is empty.
#pragma once

#include <string>
#include <vector>

#include "AszWriter.h"

// "Options.dat" first, then every file the skin text names (own images,
// plain bitmaps, JPEG files, the master bitmap) once, in the order of first
// mention; entry names are the file names as the text gives them. Throws
// std::runtime_error for a named file that is missing.
std::vector<AszEntry> CollectSkinFiles(const std::string& SkinDir);

// Form text of a form (T<SkinName>DataForm) holding one skin manager whose
// InternalSkins has one stored skin named SkinName with Container as its "Data".
std::string StoredSkinFormWithData(const std::string& SkinName, const std::vector<uint8_t>& Container);

// The same stored skin (form T<SkinName>ItemsForm) given by its collections (GeneralData, Images,
// Patterns, MasterBitmap and the skin-wide values) and an empty "Data":
// section values resolved with inheritance as the loader reads the text,
// images converted to 24-bit bitmaps. Djpeg decodes small JPEG textures.
std::string StoredSkinFormWithItems(const std::string& SkinDir, const std::string& SkinName,
                                    const std::string& Djpeg);
