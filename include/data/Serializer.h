#pragma once

// Typed reading and writing of the player's binary files (saved games, persistent trigger values, sound settings).
// The caller decides the order of the values, and a file that has a version writes it among them: the serializer adds
// no header, type tags or version of its own. A read that cannot be satisfied leaves its target unchanged.

#include <cstdint>
#include <string>

namespace Vel {

class Serializer
{
public:
    virtual ~Serializer() = default;

    virtual void WriteString(const std::u16string& value) = 0;
    virtual void WriteFloat(float value) = 0;
    virtual void WriteInt(std::int32_t value) = 0;
    virtual void WriteBool(bool value) = 0;

    virtual void ReadString(std::u16string& value) = 0;
    virtual void ReadFloat(float& value) = 0;
    virtual void ReadInt(std::int32_t& value) = 0;
    virtual void ReadBool(bool& value) = 0;

    // Whether a read met damaged data or the end of the data, or a write failed: loaders stop there, whatever
    // counts they read before.
    [[nodiscard]] virtual bool Failed() const = 0;
};

} // namespace Vel
