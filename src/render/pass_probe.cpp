// The probe that drawing announces itself to: none unless a tool installs one.
#include "render/pass_probe.h"

void (*drawPassProbe)(DrawPassKind kind, int32_t id) = nullptr;
