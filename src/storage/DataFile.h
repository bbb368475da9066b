#pragma once

#include <QString>

#include <cstddef>

// The data file: where it lives and how its words are scrambled. CycleDatabase::Load and
// CycleDatabase::Save (DataFile.cpp) read and write it.

/// The user's documents folder.
QString GetDocumentsFolder();

/// The documents folder's "Velumina.dat".
QString GetDataFilePath();

/// The documents folder's "zorb.dat": the earlier name, read when Velumina.dat is missing, never
/// written.
QString GetLegacyDataFilePath();

/// True when `path` names something that is not a folder. Says nothing either way.
bool IsExistingFile(const QString& path);

/// XORs each of the size / 4 little-endian 32-bit words of `block` with the next output of the
/// shared generator, from the last word to the first. Applying it again, from the same generator
/// state, restores the block.
void Scramble(void* block, std::size_t size);
