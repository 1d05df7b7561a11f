#pragma once
// Makes the render object of a type number: 4 rigid mesh, 5 skinned mesh, 6 buffered mesh,
// 8 clump mesh, 9 BSP mesh, 10 sprite array, 11 grid mesh. Null for any other number.
#include <cstdint>

class CRenderObject;

CRenderObject* NewRenderObject(uint32_t type);
