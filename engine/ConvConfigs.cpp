#include "engine/ConvConfigs.h"

// One line of ASCII each, layout breaks written as tabs.
const std::string_view kConvConfigSim2Tra =
    " \t{\t\t\"name\": \"Simplified Chinese to Traditional Chinese\",\t\t\t\"segmentation\" : {"
    "\t\t\t\"type\": \"mmseg\",\t\t\t\t\"dict\" : {\t\t\t\t\"type\": \"text\",\t\t\t\t\t\"file\" : "
    "\"STPhrases.txt\"\t\t\t}\t\t},\t\t\t\"conversion_chain\": [{\t\t\t\"dict\": {\t\t\t\t\"type\": "
    "\"group\",\t\t\t\t\t\"dicts\" : [{\t\t\t\t\t\"type\": \"text\",\t\t\t\t\t\t\"file\" : "
    "\"STPhrases.txt\"\t\t\t\t}, {\t\t\t\t\t\"type\": \"text\",\t\t\t\t\t\"file\" : "
    "\"STCharacters.txt\"\t\t\t\t}]\t\t\t}\t\t}]\t}\t";

const std::string_view kConvConfigTra2Sim =
    " \t{\t  \"name\": \"Traditional Chinese to Simplified Chinese\",\t  \"segmentation\": {"
    "\t\t\"type\": \"mmseg\",\t\t\"dict\": {\t\t  \"type\": \"text\",\t\t  \"file\": "
    "\"TSPhrases.txt\"\t\t}\t  },\t  \"conversion_chain\": [{\t\t\"dict\": {\t\t  \"type\": "
    "\"group\",\t\t  \"dicts\": [{\t\t\t\"type\": \"text\",\t\t\t\"file\": \"TSPhrases.txt\"\t\t  "
    "}, {\t\t\t\"type\": \"text\",\t\t\t\"file\": \"TSCharacters.txt\"\t\t  }]\t\t}\t  }]\t}\t";
