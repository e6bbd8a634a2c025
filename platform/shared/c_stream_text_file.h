// A text file on a C stream, shared by the backends: lines read like fgets, writes flushed at once
// so that an outside tool reading the file sees them.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "kv/platform/files.h"

namespace kv::platform {

class CStreamTextFile : public TextFile {
public:
    explicit CStreamTextFile(std::FILE* file) : file_(file) {}
    CStreamTextFile(const CStreamTextFile&) = delete;
    CStreamTextFile& operator=(const CStreamTextFile&) = delete;
    ~CStreamTextFile() override { std::fclose(file_); }

    bool readLine(std::string* line, size_t maxChars) override {
        line->clear();
        if (maxChars < 2) return false;
        int c = 0;
        while (line->size() + 1 < maxChars && (c = std::fgetc(file_)) != EOF) {
            line->push_back(static_cast<char>(c));
            if (c == '\n') break;
        }
        return !line->empty();
    }

    std::string read(size_t maxBytes) override {
        std::string out(maxBytes, '\0');
        out.resize(std::fread(out.data(), 1, maxBytes, file_));
        return out;
    }

    bool write(std::string_view text) override {
        return std::fwrite(text.data(), 1, text.size(), file_) == text.size() && std::fflush(file_) == 0;
    }

private:
    std::FILE* file_;
};

}  // namespace kv::platform
