#pragma once

#include <QImage>
#include <QString>

class QWidget;

// Pictures of what an interface test built, kept under the build folder's artifacts/ for review.
namespace Artifacts {

QString folder();
// Saves the widget's picture (QWidget::grab) as <folder>/<name>.png; returns the path, empty on failure.
QString save(QWidget* widget, const QString& name);
QString save(const QImage& image, const QString& name);

} // namespace Artifacts
