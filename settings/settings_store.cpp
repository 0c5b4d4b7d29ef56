#include "settings/settings_store.h"

#include "settings/settings.h"

void ComputeSettingsFolder() {}

void LoadSettings() {}

void SaveSettings() {}
