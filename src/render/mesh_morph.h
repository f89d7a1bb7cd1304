// Keyframe mesh morph: a target mesh follows a ring of ten key meshes (Scene 11) and is pulled
// towards the same pair of keys in one or two further sets (Scenes 12 or 13 by the sign of b,
// Scenes 14 or 15 by the sign of c). Each key Scene holds its ten keys as objects 0 to 9.
#pragma once

#include "assets/scene.h"

constexpr int MORPH_KEYS = 10;

// Rewrites target->vertices from the keys at key position a with weights b and c.
void morphObject(SceneObject* target, float a, float b, float c);
