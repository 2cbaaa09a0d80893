// The tables of a manager's loaded skin as UTF-8 text, one tab-separated line
// per section ("S"), mask ("M") and pattern ("P"), in table order: what
// skinhost --dump writes and what the tests compare between loads.
#pragma once

#include <string>

class TsSkinManager;

std::string DumpSkinTables(const TsSkinManager& M);
