#pragma once
// Collects compiled commands (an opcode and typed parameters) and serialises them into a
// QRRESCStream: commands back to back, each its 32-bit opcode and then its parameters in the
// order added; no header, count or terminator. Owned by a script compiler; the commands are
// owned by the generator, the parameters by their command.

#include "resource/qr_resc_main.h"
#include "resource/qr_resc_streamparameter.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QRRESCStream;
class QRRESCStreamGenerator;

class QRRESCStreamGeneratorCommand {
public:
    QRRESCStreamGeneratorCommand(QRRESCStreamGenerator* generator, std::int32_t opcode, int index);

    QRRESCCommandParameterInt* appendInt(std::int32_t value);
    QRRESCCommandParameterFloat* appendFloat(float value);
    QRRESCCommandParameterString* appendString(const std::string& value);
    QRRESCCommandParameterBool* appendBool(bool value);
    QRRESCCommandParameterVector4* appendVector4(const Vector4& value);

    // 4 for the opcode and the parameters' sizes.
    int computeSize() const;
    void writeToStream(QRRESCStream& stream) const;

    QRRESCStreamGenerator* getGenerator() const { return generator_; }
    std::int32_t getOpcode() const { return opcode_; }
    int getIndex() const { return index_; }
    // Both -1 until the command is placed in a stream.
    std::int64_t getOffset() const { return offset_; }
    int getSize() const { return size_; }
    int getParameterCount() const { return static_cast<int>(parameters_.size()); }
    QRRESCCommandParameter* getParameter(int index) const;

private:
    friend class QRRESCStreamGenerator;
    template <class P, class T>
    P* append(T value);

    QRRESCStreamGenerator* generator_;
    std::int32_t opcode_;
    int index_;
    std::int64_t offset_ = -1;
    int size_ = -1;
    std::vector<std::unique_ptr<QRRESCCommandParameter>> parameters_;
};

class QRRESCStreamGenerator : public QRRESCMain {
public:
    QRRESCStreamGenerator(QRObject* owner, std::string_view name);
    ~QRRESCStreamGenerator() override;

    // Clears the own stream and frees every command.
    void clear() override;
    bool isEmpty() const override { return commands_.empty(); }

    QRRESCStreamGeneratorCommand* addCommand(std::int32_t opcode);
    // Throws std::out_of_range "List index out of bounds" outside 0..count-1.
    QRRESCStreamGeneratorCommand* getCommand(int index) const;
    int getCommandCount() const { return static_cast<int>(commands_.size()); }
    QRRESCStream& getStream() const { return *stream_; }

    void calculateOffsets();
    // Replaces target's content by the commands; returns target.
    QRRESCStream& generate(QRRESCStream& target);
    QRRESCStream& generateOwn() { return generate(*stream_); }

private:
    QROwned<QRRESCStream> stream_;
    std::vector<std::unique_ptr<QRRESCStreamGeneratorCommand>> commands_;
};
