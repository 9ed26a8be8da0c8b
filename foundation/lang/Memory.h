// Raw memory primitives on which every library object rests.
#pragma once

namespace torvik_lang {

// Zero-filled heap memory; null when the heap is exhausted.
void* osAlloc(unsigned int n);
void osFree(void* p);
void osMemSet(void* p, int value, int n);
void osMemMove(void* dst, void const* src, int n);
void* jmemSet(void* p, int value, unsigned int n);
void* jmemMove(void* dst, void const* src, int n);
// Breaks into an attached debugger; the arguments are only for the reader of the call.
void jDebugBreak(char const* file, int line, char const* text);

}  // namespace torvik_lang
