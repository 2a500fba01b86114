// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
#include "toolkit/Platform.h"

#include <stdexcept>

namespace vcl {

namespace {
IPlatform* g_platform = nullptr;
}

void SetPlatform(IPlatform* platform)
{
    g_platform = platform;
}

IPlatform* GetPlatform()
{
    if (!g_platform)
        throw std::logic_error("no platform installed");
    return g_platform;
}

IPlatform* CurrentPlatform()
{
    return g_platform;
}

int16_t GetKeyState(int vk)
{
    return g_platform ? g_platform->KeyState(vk) : int16_t(0);
}

bool GetCursorPos(TPoint* p)
{
    if (!p || !g_platform)
        return false;
    *p = g_platform->CursorPos();
    return true;
}

} // namespace vcl
