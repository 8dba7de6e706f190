// The runtime's byte streams, as far as the logo reader and the inflate stream need them. Every
// failure is a result the caller checks: the programs are built without C++ exceptions.
#pragma once

#include <cstdint>
#include <vector>

enum SeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream {
public:
    virtual ~TStream() = default;
    virtual void SetSize(int32_t newSize) {}
    // Returns the number of bytes delivered, possibly fewer than asked.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    virtual int32_t Write(const void* buffer, int32_t count) = 0;
    virtual int32_t Seek(int32_t offset, int origin) = 0;

    int32_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int32_t position) { Seek(position, soBeginning); }
    // The position of the end; the position is kept.
    int32_t Size();
    // Reads exactly count bytes; false when the stream delivers fewer.
    [[nodiscard]] bool ReadBuffer(void* buffer, int32_t count);
    // Writes exactly count bytes; false when the stream takes fewer.
    [[nodiscard]] bool WriteBuffer(const void* buffer, int32_t count);
};

// A stream over bytes held in memory, owned by the stream.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    TMemoryStream(const void* data, int32_t size);
    void SetSize(int32_t newSize) override;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int32_t Seek(int32_t offset, int origin) override;
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    int32_t position_ = 0;
};

// A read-only stream over the bytes of one of the program's own resources. Nothing is copied: the
// bytes belong to the loaded program image and stay valid for the whole run.
class TResourceStream : public TStream {
public:
    // Integer ids are "#n". Without such a resource the stream is empty and Found() false.
    TResourceStream(const char* name, const char* type);
    bool Found() const { return found_; }
    int32_t Read(void* buffer, int32_t count) override;
    // Resources cannot be written: delivers nothing.
    int32_t Write(const void* buffer, int32_t count) override;
    int32_t Seek(int32_t offset, int origin) override;
    const uint8_t* Memory() const { return data_; }

private:
    const uint8_t* data_ = nullptr;
    int32_t size_ = 0;
    bool found_ = false;
    int32_t position_ = 0;
};
