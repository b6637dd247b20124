// The Windows headers as the Windows layer uses them: wide-character APIs
// only, and none of the A/W macros that would rename the game's own
// methods of the same names (MessageQueue::PostMessage, DrawContext::TextOut
// and the like) in the files that include both.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

#include <windows.h>
#include <mmsystem.h>

#undef CreateWindow
#undef PostMessage
#undef PeekMessage
#undef DispatchMessage
#undef SendMessage
#undef DefWindowProc
#undef CreateFont
#undef TextOut
#undef DrawText
#undef MessageBox
