#include "sConst.h"

int HScrollHeight = 16;
