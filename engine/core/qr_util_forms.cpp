#include "core/qr_util_forms.h"

#include "core/qr_util_convert.h"
#include "resource/qr_resc_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

void QRUTILForms::setEditInt(QLineEdit& edit, std::int32_t value)
{
    setEditString(edit, QRUTILConvert::fromInt(value));
}

void QRUTILForms::setEditFloat(QLineEdit& edit, float value)
{
    setEditString(edit, QRUTILConvert::fromFloat(value));
}

void QRUTILForms::setEditString(QLineEdit& edit, const std::string& value)
{
    edit.setText(QString::fromStdString(value));
}

void QRUTILForms::setEditVector3(QLineEdit& x, QLineEdit& y, QLineEdit& z, const Vector3& value)
{
    setEditFloat(x, value.x);
    setEditFloat(y, value.y);
    setEditFloat(z, value.z);
}

void QRUTILForms::setCheckBox(QCheckBox& box, bool value)
{
    box.setChecked(value);
}

std::int32_t QRUTILForms::getEditInt(const QLineEdit& edit)
{
    return QRUTILConvert::toInt(getEditString(edit));
}

float QRUTILForms::getEditFloat(const QLineEdit& edit)
{
    return QRUTILConvert::toFloat(getEditString(edit));
}

std::string QRUTILForms::getEditString(const QLineEdit& edit)
{
    return edit.text().toStdString();
}

Vector3 QRUTILForms::getEditVector3(const QLineEdit& x, const QLineEdit& y, const QLineEdit& z)
{
    return {getEditFloat(x), getEditFloat(y), getEditFloat(z)};
}

bool QRUTILForms::getCheckBox(const QCheckBox& box)
{
    return box.isChecked();
}

void QRUTILForms::fillListBox(QListWidget& box, const QRRESCList& list)
{
    list.fillListControl(&box, false);
}

void QRUTILForms::fillComboBox(QComboBox& box, const QRRESCList& list)
{
    list.fillListControl(&box, false);
}
