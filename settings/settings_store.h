#pragma once

void ComputeSettingsFolder();
void LoadSettings();
void SaveSettings();
