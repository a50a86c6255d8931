// The program's entry point: JUCE's application main loop runs the application object until quit.
#include "app/JUCEHelloWorldApplication.h"

START_JUCE_APPLICATION(corvex::JUCEHelloWorldApplication)
