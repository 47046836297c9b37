#pragma once

#include <QString>
#include <stdexcept>

/// The one error type of the program: a failure with the text shown to the user.
class Failure : public std::runtime_error {
  public:
    explicit Failure(const QString& text) : std::runtime_error(text.toStdString()) {}

    /// the failure's text as shown in the error display
    QString text() const { return QString::fromUtf8(what()); }
};
