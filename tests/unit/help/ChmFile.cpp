// tests/unit/help/ChmFile.cpp
#include "ChmFile.h"

#include <cstring>
#include <vector>

namespace keywhirl::testing {

// The reader's interface as HTML Help's headers declare it; only the slots
// up to StgOpenStorage are called. It must not be in an anonymous namespace:
// the compiler would see that nothing here implements it and treat calls
// through it as unreachable.
struct IItStorage : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD,
                                                                   IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR*, IStorage*, DWORD, SNB, DWORD,
                                                     IStorage**) = 0;
};

namespace {

const CLSID kClsidItStorage = {
    0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kIidItStorage = {
    0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

template <typename T> void release(T*& object) {
    if (object)
        object->Release();
    object = nullptr;
}

std::uint32_t readUint32(const std::string& bytes, size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

std::uint16_t readUint16(const std::string& bytes, size_t offset) {
    std::uint16_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

} // namespace

ChmFile::~ChmFile() {
    release(root_);
}

bool ChmFile::open(const std::wstring& path) {
    release(root_);
    IItStorage* reader = nullptr;
    if (FAILED(::CoCreateInstance(kClsidItStorage, nullptr, CLSCTX_INPROC_SERVER, kIidItStorage,
                                  reinterpret_cast<void**>(&reader))))
        return false;
    HRESULT result = reader->StgOpenStorage(path.c_str(), nullptr,
                                            STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &root_);
    reader->Release();
    if (FAILED(result))
        root_ = nullptr;
    return root_ != nullptr;
}

bool ChmFile::read(const std::wstring& name, std::string& bytes) const {
    bytes.clear();
    if (!root_ || name.empty())
        return false;
    // Folders are storages of their own; walk down to the last one.
    IStorage* folder = root_;
    folder->AddRef();
    size_t start = 0;
    for (size_t slash = name.find(L'/'); slash != std::wstring::npos;
         slash = name.find(L'/', start)) {
        IStorage* inner = nullptr;
        std::wstring part = name.substr(start, slash - start);
        HRESULT result = folder->OpenStorage(part.c_str(), nullptr,
                                             STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &inner);
        folder->Release();
        if (FAILED(result) || !inner)
            return false;
        folder = inner;
        start = slash + 1;
    }
    IStream* stream = nullptr;
    HRESULT result = folder->OpenStream(name.substr(start).c_str(), nullptr,
                                        STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
    folder->Release();
    if (FAILED(result) || !stream)
        return false;
    char buffer[4096];
    ULONG got = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got > 0)
        bytes.append(buffer, got);
    stream->Release();
    return true;
}

bool ChmFile::exists(const std::wstring& name) const {
    std::string ignored;
    return read(name, ignored);
}

bool ChmFile::stringAt(std::uint32_t offset, std::string& text) const {
    std::string strings;
    if (!read(L"#STRINGS", strings) || offset >= strings.size())
        return false;
    size_t end = strings.find('\0', offset);
    if (end == std::string::npos)
        return false;
    text = strings.substr(offset, end - offset);
    return true;
}

bool ChmFile::contextMap(std::map<std::uint32_t, std::string>& topics) const {
    topics.clear();
    std::string table;
    if (!read(L"#IVB", table))
        return true; // no context numbers at all
    // A byte count, then (context number, offset into #STRINGS) pairs.
    if (table.size() < 4)
        return false;
    std::uint32_t length = readUint32(table, 0);
    if (length % 8 != 0 || length > table.size() - 4)
        return false;
    for (size_t at = 4; at < 4 + length; at += 8) {
        std::string topic;
        if (!stringAt(readUint32(table, at + 4), topic))
            return false;
        topics[readUint32(table, at)] = topic;
    }
    return true;
}

std::string ChmFile::systemRecord(std::uint16_t code) const {
    std::string system;
    if (!read(L"#SYSTEM", system))
        return {};
    // A version number, then records of (code, length, data).
    for (size_t at = 4; at + 4 <= system.size();) {
        std::uint16_t recordCode = readUint16(system, at);
        std::uint16_t length = readUint16(system, at + 2);
        if (at + 4 + length > system.size())
            break;
        if (recordCode == code) {
            std::string data = system.substr(at + 4, length);
            while (!data.empty() && data.back() == '\0')
                data.pop_back();
            return data;
        }
        at += 4 + length;
    }
    return {};
}

} // namespace keywhirl::testing
