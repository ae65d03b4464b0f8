#include <gtest/gtest.h>
#include "EntryLine.h"
