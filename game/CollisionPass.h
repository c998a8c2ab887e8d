#pragma once

class BaseObject;

// True when some circle of a touches some circle of b (touching counts) at any moment of the
// frame: each body moved in a straight line from where it began the frame to its centre, its
// circles' offsets turned by its angle at the end. False when neither object is Active or a has no
// circles. Only x and y take part.
bool BodiesTouch(const BaseObject* a, const BaseObject* b);

// Tests every Active object against every other Active object whose kind its mask names, and on
// contact calls a.OnCollide(b) and then b.OnCollide(a); a pair whose boxes swept over the frame
// do not meet is passed over without a look at its bodies. The outer walk runs over the list as it
// stood when the pass began; each inner walk starts again at the current head, so objects added
// during the pass (a broken asteroid's children, an explosion) are tested as second objects of
// later pairs but never as first ones.
void RunCollisionPass();
