/// \file
/// What the two gallery programs' main() share: the application, the
/// output folder (the last argument) made, a scratch folder, numbered
/// messages shown as boxes, and a failure named on stderr.
#pragma once

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <exception>
#include <functional>

#include "core/Messages.h"
#include "ui/QtReporter.h"

namespace zorvik::ui {

using GalleryPictures = std::function<void(const QString& folder, QTemporaryDir& scratch, core::Messages& messages)>;

/// Runs `pictures`; `usage` names the `argumentCount` arguments the program
/// wants. Returns the exit status: 0 done, 1 failed, 2 wrong usage.
inline int runGallery(int argc, char** argv, int argumentCount, const char* program, const char* usage,
                      const GalleryPictures& pictures) {
  QApplication application(argc, argv);
  if (argc != argumentCount + 1) {
    std::fprintf(stderr, "usage: %s %s\n", program, usage);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[argc - 1]);
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "%s: cannot make %s\n", program, argv[argc - 1]);
    return 1;
  }
  QTemporaryDir scratch;
  QtReporter reporter;
  core::Messages messages(reporter);
  try {
    pictures(folder, scratch, messages);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", program, error.what());
    return 1;
  }
  return 0;
}

}  // namespace zorvik::ui
