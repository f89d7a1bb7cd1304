// Lifetime of the three big tables: the TextureTable, the LayerTable and the Scenes block.
#pragma once

// Allocates the three tables zero-filled, in this order; 1 on success.
int allocateTables();
// Frees the TextureTable, the LayerTable and the Scenes block, in this order.
void releaseTables();
