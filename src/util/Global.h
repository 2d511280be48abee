#pragma once

// The shared unit every layer above platform uses, in one header: number texts, message boxes,
// the key filter, version and folder queries. Code includes the one header it needs instead.
#include "util/FileVersion.h"
#include "util/KeyFilter.h"
#include "util/MessageBoxes.h"
#include "util/NumberText.h"
#include "util/SystemFolders.h"
