// Linked into a program, replaces the global operator new with one that counts every call, so a
// test or benchmark can show that a piece of code allocates nothing.
#pragma once

long allocationCount();
