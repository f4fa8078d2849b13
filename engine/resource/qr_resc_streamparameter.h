#pragma once
// The typed parameters of a compiled command: each knows its value, its size in the stream and
// how to write and read itself. Owned by their command.

#include "math/qr_math_types.h"

#include <cstdint>
#include <string>

class QRRESCStream;
class QRRESCStreamGeneratorCommand;

class QRRESCCommandParameter {
public:
    explicit QRRESCCommandParameter(QRRESCStreamGeneratorCommand* command) : command_(command) {}
    virtual ~QRRESCCommandParameter() = default;

    virtual int getSize() const = 0;
    virtual void writeToStream(QRRESCStream& stream) const = 0;
    virtual bool readFromStream(QRRESCStream& stream) = 0;

    QRRESCStreamGeneratorCommand* getCommand() const { return command_; }

private:
    QRRESCStreamGeneratorCommand* command_;
};

// One kind of parameter per value type; the five kinds are named below.
template <class T>
class QRRESCCommandParameterOf final : public QRRESCCommandParameter {
public:
    QRRESCCommandParameterOf(QRRESCStreamGeneratorCommand* command, T value)
        : QRRESCCommandParameter(command), value_(std::move(value))
    {
    }
    void setValue(T value) { value_ = std::move(value); }
    T& getValue() { return value_; }
    const T& getValue() const { return value_; }

    int getSize() const override;
    void writeToStream(QRRESCStream& stream) const override;
    bool readFromStream(QRRESCStream& stream) override;

private:
    T value_;
};

// Bool: one byte 0 or 1; Int: 4 bytes; Float: an IEEE single; String: 32-bit length and the
// characters; Vector4: four singles.
using QRRESCCommandParameterBool = QRRESCCommandParameterOf<bool>;
using QRRESCCommandParameterInt = QRRESCCommandParameterOf<std::int32_t>;
using QRRESCCommandParameterFloat = QRRESCCommandParameterOf<float>;
using QRRESCCommandParameterString = QRRESCCommandParameterOf<std::string>;
using QRRESCCommandParameterVector4 = QRRESCCommandParameterOf<Vector4>;

extern template class QRRESCCommandParameterOf<bool>;
extern template class QRRESCCommandParameterOf<std::int32_t>;
extern template class QRRESCCommandParameterOf<float>;
extern template class QRRESCCommandParameterOf<std::string>;
extern template class QRRESCCommandParameterOf<Vector4>;
