// Boost.JSON's implementation, compiled once into tralvonic-host for its built-in game session;
// the program does not link the plugin's core library, which carries its own copy.
#include <boost/json/src.hpp>
