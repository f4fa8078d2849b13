#pragma once
// Modal message boxes with a single OK button. Tests install a presenter so that nothing blocks.

#include <functional>
#include <string>

enum class QRMessageKind { Error, Warning };

using QRMessagePresenter = std::function<void(QRMessageKind kind, const std::string& text)>;

void qrShowMessageBox(QRMessageKind kind, const std::string& text);
// Replaces the platform box; an empty presenter restores it. Returns the previous presenter.
QRMessagePresenter qrSetMessagePresenter(QRMessagePresenter presenter);
