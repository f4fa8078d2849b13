#include "resource/qr_resc_streamgenerator.h"

#include "resource/qr_resc_stream.h"

#include <stdexcept>

QRRESCStreamGeneratorCommand::QRRESCStreamGeneratorCommand(QRRESCStreamGenerator* generator, std::int32_t opcode,
                                                           int index)
    : generator_(generator), opcode_(opcode), index_(index)
{
}

template <class P, class T>
P* QRRESCStreamGeneratorCommand::append(T value)
{
    auto parameter = std::make_unique<P>(this, std::move(value));
    P* result = parameter.get();
    parameters_.push_back(std::move(parameter));
    return result;
}

QRRESCCommandParameterInt* QRRESCStreamGeneratorCommand::appendInt(std::int32_t value)
{
    return append<QRRESCCommandParameterInt>(value);
}

QRRESCCommandParameterFloat* QRRESCStreamGeneratorCommand::appendFloat(float value)
{
    return append<QRRESCCommandParameterFloat>(value);
}

QRRESCCommandParameterString* QRRESCStreamGeneratorCommand::appendString(const std::string& value)
{
    return append<QRRESCCommandParameterString>(value);
}

QRRESCCommandParameterBool* QRRESCStreamGeneratorCommand::appendBool(bool value)
{
    return append<QRRESCCommandParameterBool>(value);
}

QRRESCCommandParameterVector4* QRRESCStreamGeneratorCommand::appendVector4(const Vector4& value)
{
    return append<QRRESCCommandParameterVector4>(value);
}

int QRRESCStreamGeneratorCommand::computeSize() const
{
    int size = 4;
    for (const auto& parameter : parameters_)
        size += parameter->getSize();
    return size;
}

void QRRESCStreamGeneratorCommand::writeToStream(QRRESCStream& stream) const
{
    stream.writeInt(opcode_);
    for (const auto& parameter : parameters_)
        parameter->writeToStream(stream);
}

QRRESCCommandParameter* QRRESCStreamGeneratorCommand::getParameter(int index) const
{
    if (index < 0 || index >= getParameterCount())
        throw std::out_of_range("List index out of bounds (resource\\qr_resc_streamgenerator)");
    return parameters_[static_cast<std::size_t>(index)].get();
}

QRRESCStreamGenerator::QRRESCStreamGenerator(QRObject* owner, std::string_view name) : QRRESCMain(owner, name)
{
    stream_ = qrNew<QRRESCStream>(this);
}

QRRESCStreamGenerator::~QRRESCStreamGenerator() = default;

void QRRESCStreamGenerator::clear()
{
    if (stream_)
        stream_->clear();
    commands_.clear();
}

QRRESCStreamGeneratorCommand* QRRESCStreamGenerator::addCommand(std::int32_t opcode)
{
    commands_.push_back(std::make_unique<QRRESCStreamGeneratorCommand>(this, opcode, getCommandCount()));
    return commands_.back().get();
}

QRRESCStreamGeneratorCommand* QRRESCStreamGenerator::getCommand(int index) const
{
    if (index < 0 || index >= getCommandCount())
        throw std::out_of_range("List index out of bounds (resource\\qr_resc_streamgenerator)");
    return commands_[static_cast<std::size_t>(index)].get();
}

void QRRESCStreamGenerator::calculateOffsets()
{
    std::int64_t offset = 0;
    for (const auto& command : commands_) {
        command->offset_ = offset;
        command->size_ = command->computeSize();
        offset += command->size_;
    }
}

QRRESCStream& QRRESCStreamGenerator::generate(QRRESCStream& target)
{
    logDebug("Generating Byte Stream...");
    calculateOffsets();
    target.clear();
    for (const auto& command : commands_) {
        command->size_ = command->computeSize();
        command->offset_ = target.getSize();
        command->writeToStream(target);
    }
    logDebug("Stream info:  Commands: " + std::to_string(commands_.size()) +
             "  Size: " + std::to_string(target.getSize()) + " byte");
    return target;
}
