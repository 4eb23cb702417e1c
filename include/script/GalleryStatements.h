#pragma once

// The gallery statements. "beginslide(name)" and "beginthumbs(name)" register a slide or thumbnail gallery with the
// gallery manager (the first gallery of a name stays) and open its block; the statements inside fill the gallery on
// top of the block stack: items ("pic"), the locked and empty-list pictures, the counter, the date style, sizes,
// the board of a thumbnail gallery, the notice shown after a save, save/load mode and the parts drawn around the
// items ("bg", "border", "next", ...). A statement outside a gallery block is a script error naming it.

namespace Vel {

class ParseManager;

void RegisterGalleryStatements(ParseManager& parser);

} // namespace Vel
