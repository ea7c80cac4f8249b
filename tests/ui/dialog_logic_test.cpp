#include "ui/dialog_logic.h"

#include <gtest/gtest.h>
