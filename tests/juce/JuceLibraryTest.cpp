// Proves the JUCE library is usable from a plain console test: XML survives a write and a parse.
#include <juce_core/juce_core.h>

#include <gtest/gtest.h>

namespace corvex {
namespace {

TEST(JuceLibrary, XmlRoundTripKeepsAttributesAndChildren)
{
    juce::XmlElement root("PROGRAM");
    root.setAttribute("name", "Brass \"Wall\" & <Pad>");
    root.createNewChildElement("LAYER")->setAttribute("index", 1);

    const juce::String text = root.toString();
    const std::unique_ptr<juce::XmlElement> parsed = juce::parseXML(text);

    ASSERT_NE(parsed, nullptr);
    EXPECT_TRUE(parsed->hasTagName("PROGRAM"));
    EXPECT_EQ(parsed->getStringAttribute("name"), juce::String("Brass \"Wall\" & <Pad>"));
    const juce::XmlElement* layer = parsed->getChildByName("LAYER");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->getIntAttribute("index", -1), 1);
}

} // namespace
} // namespace corvex
