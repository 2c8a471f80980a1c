// What a walk that empties a folder does with each entry it finds: the
// uninstaller's content removal, its restart deletions and the removal of
// folders this program made whole. No Win32 here: tested natively too.
#pragma once

// What the walk does with one entry of a folder it empties, from
// the entry's name and its file attributes (Win32's bits).
enum TreeEntryAction {
  kTreeSkip,        // "." and "..": the folder itself and the one above
  kTreeDeleteFile,  // a file, or a link to a file (the link goes, not its target)
  kTreeRemoveLink,  // a folder that is a link (a junction): removed as a link,
                    // never walked, since what it points to is not the product's
  kTreeDescend,     // a real folder: emptied, then removed
};
TreeEntryAction ChooseTreeEntryAction(const char* name, unsigned long attributes);
