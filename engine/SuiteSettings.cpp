#include "engine/SuiteSettings.h"

namespace {
SuiteSettingsRecord gSuiteSettings;
}

SuiteSettingsRecord& SuiteSettings() { return gSuiteSettings; }
void ResetSuiteSettings() { gSuiteSettings = SuiteSettingsRecord{}; }
