#pragma once

#include "store/parsedtable.h"
#include "store/schema.h"
