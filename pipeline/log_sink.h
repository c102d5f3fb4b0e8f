// The line-writer that pipeline classes log through.
#pragma once

#include <QString>
#include <functional>

// The main window points this at its log; tests collect the lines. An empty
// sink drops them.
using PipelineLogSink = std::function<void(const QString&)>;
