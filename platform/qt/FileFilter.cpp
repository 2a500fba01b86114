// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "platform/qt/FileFilter.h"

#include "toolkit/Utf8.h"

namespace velmia::qt {

namespace {

std::vector<std::string> Split(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t at = s.find(sep, start);
        parts.push_back(s.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            break;
        start = at + 1;
    }
    return parts;
}

std::string Trim(const std::string& s)
{
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    const size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

} // namespace

std::vector<std::string> ConvertFilter(const std::string& filter)
{
    std::vector<std::string> out;
    if (filter.empty())
        return out;
    const std::vector<std::string> parts = Split(filter, '|');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns;
        for (const std::string& p : Split(parts[i + 1], ';')) {
            const std::string t = Trim(p);
            if (t.empty())
                continue;
            if (!patterns.empty())
                patterns += ' ';
            patterns += t;
        }
        if (patterns.empty())
            continue;
        std::string description = Trim(parts[i]);
        if (description.empty())
            description = patterns;
        out.push_back(description + " (" + patterns + ")");
    }
    return out;
}

std::vector<std::string> FilterPatterns(const std::string& qtFilter)
{
    std::vector<std::string> out;
    const size_t close = qtFilter.rfind(')');
    const size_t open = qtFilter.rfind('(', close);
    if (close == std::string::npos || open == std::string::npos)
        return out;
    for (const std::string& p : Split(qtFilter.substr(open + 1, close - open - 1), ' '))
        if (!p.empty())
            out.push_back(p);
    return out;
}

std::string ApplyDefaultExt(const std::string& path, const std::string& ext)
{
    if (ext.empty() || path.empty())
        return path;
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name.find('.') != std::string::npos)
        return path;
    return path + (ext.front() == '.' ? "" : ".") + ext;
}

QString FileNameToQt(const std::string& name)
{
    QString out;
    size_t run = 0; // start of the bytes not yet converted
    for (size_t at = 0; at < name.size();) {
        char32_t code = 0;
        if (const size_t n = vcl::DecodeUtf8(std::string_view(name).substr(at), code)) {
            at += n;
            continue;
        }
        out += QString::fromUtf8(name.data() + run, qsizetype(at - run));
        out += QChar(char16_t(0xDC00 + static_cast<unsigned char>(name[at])));
        run = ++at;
    }
    return out + QString::fromUtf8(name.data() + run, qsizetype(name.size() - run));
}

std::string FileNameFromQt(const QString& name)
{
    std::string out;
    qsizetype run = 0; // start of the text not yet converted
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        // A low surrogate after a high one is half of a character.
        if (u < 0xDC80 || u > 0xDCFF || (i > 0 && QChar::isHighSurrogate(name[i - 1].unicode())))
            continue;
        out += name.mid(run, i - run).toStdString();
        out += char(u - 0xDC00);
        run = i + 1;
    }
    return out + name.mid(run).toStdString();
}

} // namespace velmia::qt
