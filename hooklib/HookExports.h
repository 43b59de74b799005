// The procedures the library exports. The runner installs MProc (WH_MOUSE), KProc
// (WH_KEYBOARD), CProc (WH_CBT) and GProc (WH_GETMESSAGE) system-wide and checks that
// the other three exist; the library installs WProc (WH_CALLWNDPROCRET) and FProc
// (WH_GETMESSAGE) on the projector's main thread itself. SProc is kept for later use.
#pragma once

#include <windows.h>

extern "C" {
LRESULT CALLBACK MProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK KProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK GProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK WProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SProc(int code, WPARAM wParam, LPARAM lParam);
}
