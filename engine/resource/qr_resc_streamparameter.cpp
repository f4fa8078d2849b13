#include "resource/qr_resc_streamparameter.h"

#include "resource/qr_resc_stream.h"

namespace {
void put(QRRESCStream& stream, bool value) { stream.writeBool(value); }
void put(QRRESCStream& stream, std::int32_t value) { stream.writeInt(value); }
void put(QRRESCStream& stream, float value) { stream.writeFloat(value); }
void put(QRRESCStream& stream, const std::string& value) { stream.writeString(value); }
void put(QRRESCStream& stream, const Vector4& value) { stream.writeVector4(value); }

bool take(QRRESCStream& stream, bool& value) { return stream.readBool(value); }
bool take(QRRESCStream& stream, std::int32_t& value) { return stream.readInt(value); }
bool take(QRRESCStream& stream, float& value) { return stream.readFloat(value); }
bool take(QRRESCStream& stream, std::string& value) { return stream.readString(value); }
bool take(QRRESCStream& stream, Vector4& value) { return stream.readVector4(value); }

int sizeOf(bool) { return 1; }
int sizeOf(std::int32_t) { return 4; }
int sizeOf(float) { return 4; }
int sizeOf(const std::string& value) { return 4 + static_cast<int>(value.size()); }
int sizeOf(const Vector4&) { return 16; }
} // namespace

template <class T>
int QRRESCCommandParameterOf<T>::getSize() const
{
    return sizeOf(value_);
}

template <class T>
void QRRESCCommandParameterOf<T>::writeToStream(QRRESCStream& stream) const
{
    put(stream, value_);
}

template <class T>
bool QRRESCCommandParameterOf<T>::readFromStream(QRRESCStream& stream)
{
    return take(stream, value_);
}

template class QRRESCCommandParameterOf<bool>;
template class QRRESCCommandParameterOf<std::int32_t>;
template class QRRESCCommandParameterOf<float>;
template class QRRESCCommandParameterOf<std::string>;
template class QRRESCCommandParameterOf<Vector4>;
