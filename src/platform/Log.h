#pragma once

#include <QLoggingCategory>

// Everything the program notes for the curious: steps of a handler that failed and were
// skipped so the handler could go on, and reasons behind messages whose words are fixed.
// QT_LOGGING_RULES="vyrelight.debug=true" shows the debug lines too.
Q_DECLARE_LOGGING_CATEGORY(lcVyre)
