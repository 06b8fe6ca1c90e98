#include "platform/Log.h"

Q_LOGGING_CATEGORY(lcVyre, "vyrelight", QtInfoMsg)
