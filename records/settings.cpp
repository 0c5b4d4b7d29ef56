#include "records/settings.h"

Settings g_settings;
