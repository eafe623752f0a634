// The application object that drawing needs, for callers that have none of
// their own (the command line).
#pragma once

#include <QApplication>

#include <memory>

namespace tovimo {

// A new offscreen application when none exists yet (nullptr otherwise); keep
// it while drawing.
std::unique_ptr<QApplication> EnsureApplication();

} // namespace tovimo
