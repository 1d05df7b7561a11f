#pragma once
// Plain data shared by the game and the content builder (which grows each region's map
// around its sites).
#include <cstdint>
#include <iterator>

namespace warroom_data {

// The eight War Room regions: display name, map images, sites (name, position as fractions of
// the map image from the left and from the bottom, size) and the link edits made after the
// distance rule (+ links, - unlinks, in order: linking to a full site replaces its farthest link).

struct Region_Site {
  const char* name;
  float x;
  float y;
  float weight;
};

struct Link_Edit {
  bool link;
  int a;
  int b;
};

struct Region {
  const char* name;
  uint32_t map_texture;
  uint32_t minimap_texture;
  const Region_Site* sites;
  int site_count;
  const Link_Edit* edits;
  int edit_count;
};

inline constexpr Region_Site kRegion_1_Sites[] = {
    {"Honolulu", 0.123f, 0.152f, 0.688f},
    {"Anchorage", 0.176f, 0.699f, 0.634f},
    {"Emmonak", 0.049f, 0.719f, 0.5f},
    {"Atkasook", 0.109f, 0.813f, 0.5f},
    {"Dawson", 0.25f, 0.754f, 0.5f},
    {"White Horse", 0.291f, 0.707f, 0.5f},
    {"Edmonton", 0.5f, 0.59f, 0.832f},
    {"Churchhill", 0.639f, 0.66f, 0.5f},
    {"Winnipeg", 0.626f, 0.539f, 0.779f},
    {"Ottawa", 0.789f, 0.492f, 0.842f},
    {"Quebec", 0.834f, 0.516f, 0.782f},
    {"St. John's", 0.984f, 0.516f, 0.544f},
    {"Iqaluit", 0.865f, 0.766f, 0.5f},
    {"Holman Island", 0.449f, 0.828f, 0.5f},
    {"Seattle", 0.4f, 0.523f, 0.761f},
    {"Chicago", 0.678f, 0.465f, 1.14f},
    {"Los Angeles", 0.434f, 0.352f, 1.227f},
    {"San Francisco", 0.4f, 0.402f, 0.815f},
    {"New York", 0.811f, 0.43f, 1.473f},
    {"Washington, D.C.", 0.791f, 0.418f, 0.757f},
    {"St. Louis", 0.657f, 0.411f, 0.664f},
    {"Portland", 0.398f, 0.488f, 0.752f},
    {"Denver", 0.551f, 0.422f, 0.757f},
    {"Salt Lake City", 0.484f, 0.441f, 0.571f},
    {"Dallas", 0.596f, 0.324f, 0.914f},
    {"New Orleans", 0.67f, 0.297f, 0.722f},
    {"Miami", 0.758f, 0.242f, 0.722f},
    {"Mexico City", 0.592f, 0.156f, 1.5f},
    {"Monterrey", 0.586f, 0.234f, 0.894f},
    {"La Paz", 0.506f, 0.211f, 0.564f},
    {"Guatemala City", 0.672f, 0.094f, 0.873f},
    {"La Habana", 0.742f, 0.195f, 1.076f},
    {"Kingston", 0.781f, 0.133f, 0.767f},
    {"Port-Au-Prince", 0.828f, 0.148f, 0.894f},
};

inline constexpr Link_Edit kRegion_1_Edits[] = {
    {false, 16, 21}, {false, 6, 21}, {true, 1, 2}, {true, 4, 5}, {true, 5, 14}, {true, 0, 21},
    {true, 0, 27}, {true, 16, 17}, {true, 23, 22}, {true, 24, 25}, {true, 27, 31}, {true, 27, 28},
    {true, 18, 19}, {true, 9, 7}, {true, 6, 13}, {true, 6, 7}, {true, 26, 18}, {true, 25, 19},
};

inline constexpr Region_Site kRegion_2_Sites[] = {
    {"Krung Thep (Bangkok)", 0.148f, 0.749f, 1.3f},
    {"Phnom Penh", 0.214f, 0.696f, 0.9f},
    {"Rangoon", 0.082f, 0.824f, 1.0f},
    {"Kuala Lumpur", 0.166f, 0.491f, 1.1f},
    {"Singapore", 0.197f, 0.448f, 1.2f},
    {"Medan", 0.121f, 0.502f, 0.9f},
    {"Palembang", 0.211f, 0.342f, 0.8f},
    {"Jakarta", 0.242f, 0.264f, 1.4f},
    {"Dili", 0.524f, 0.207f, 0.5f},
    {"Manila", 0.455f, 0.77f, 1.3f},
    {"Davao", 0.524f, 0.587f, 0.8f},
    {"Koror", 0.658f, 0.593f, 0.5f},
    {"Sorong", 0.609f, 0.393f, 0.5f},
    {"Kendawangan", 0.293f, 0.353f, 0.5f},
    {"Kuching", 0.295f, 0.453f, 0.7f},
    {"Sangkulirang", 0.41f, 0.439f, 0.5f},
    {"Darwin", 0.603f, 0.112f, 0.7f},
    {"Merauke", 0.746f, 0.208f, 0.5f},
    {"Puncak Jaya", 0.698f, 0.316f, 0.5f},
    {"Port Moresby", 0.848f, 0.185f, 0.7f},
    {"Kupang", 0.494f, 0.167f, 0.6f},
    {"Ujung Pandang", 0.431f, 0.29f, 0.9f},
    {"Mayon", 0.495f, 0.737f, 0.5f},
    {"Weipa", 0.768f, 0.108f, 0.5f},
    {"Manado", 0.513f, 0.451f, 0.6f},
    {"Pomio", 0.913f, 0.28f, 0.5f},
    {"Surabaya", 0.331f, 0.239f, 1.1f},
    {"Dumpu", 0.825f, 0.272f, 0.5f},
};

inline constexpr Link_Edit kRegion_2_Edits[] = {
    {true, 3, 4}, {true, 4, 5}, {true, 6, 7}, {true, 13, 14}, {true, 14, 15}, {true, 17, 18},
    {true, 20, 21}, {true, 1, 3}, {true, 10, 22}, {true, 15, 21}, {true, 16, 23}, {false, 6, 14},
    {true, 16, 17}, {true, 20, 26}, {true, 21, 24},
};

inline constexpr Region_Site kRegion_3_Sites[] = {
    {"Algiers", 0.309f, 0.913f, 1.0f},
    {"Tunis", 0.39f, 0.913f, 0.9f},
    {"Cairo", 0.626f, 0.835f, 1.5f},
    {"Khartoum", 0.641f, 0.667f, 1.0f},
    {"Mogadishu", 0.785f, 0.512f, 0.8f},
    {"Antananarivo", 0.809f, 0.27f, 0.8f},
    {"Port Elizabeth", 0.563f, 0.097f, 0.7f},
    {"Windhoek", 0.467f, 0.228f, 0.6f},
    {"Mbuji-Mayi", 0.541f, 0.418f, 0.7f},
    {"N'Djamena", 0.444f, 0.628f, 0.7f},
    {"Bamako", 0.185f, 0.634f, 0.8f},
    {"Riyadh", 0.8f, 0.773f, 1.1f},
    {"Bandar Abbas", 0.908f, 0.802f, 0.6f},
    {"Sanaa", 0.772f, 0.666f, 0.8f},
    {"Rabat", 0.198f, 0.881f, 0.8f},
    {"Nouakchott", 0.095f, 0.697f, 0.6f},
    {"Nairobi", 0.689f, 0.474f, 1.0f},
    {"Launda", 0.424f, 0.386f, 0.9f},
    {"Accra", 0.273f, 0.553f, 0.9f},
    {"Conakry", 0.122f, 0.6f, 0.7f},
    {"Niamey", 0.299f, 0.644f, 0.6f},
    {"Al Jawl", 0.537f, 0.768f, 0.5f},
    {"Bangul", 0.484f, 0.539f, 0.6f},
    {"Lusaka", 0.593f, 0.311f, 0.8f},
    {"Pretoria", 0.592f, 0.191f, 1.0f},
    {"Maputo", 0.641f, 0.189f, 0.8f},
    {"Yaounde", 0.404f, 0.533f, 0.7f},
    {"Brazzaville", 0.447f, 0.439f, 0.8f},
    {"Cidade De Nacaia", 0.733f, 0.32f, 0.5f},
    {"Cape Town", 0.482f, 0.097f, 1.1f},
    {"Namibe", 0.412f, 0.313f, 0.5f},
    {"Dar es Salaam", 0.717f, 0.41f, 0.9f},
    {"Monrovia", 0.153f, 0.561f, 0.6f},
};

inline constexpr Link_Edit kRegion_3_Edits[] = {
    {true, 23, 24}, {true, 24, 25}, {true, 26, 27}, {true, 1, 21}, {true, 13, 4}, {true, 7, 23},
    {true, 8, 16}, {false, 15, 32}, {true, 25, 28}, {true, 16, 28}, {false, 27, 30}, {true, 7, 17},
    {true, 5, 31}, {true, 9, 21}, {true, 2, 3}, {true, 2, 11}, {true, 5, 25}, {true, 9, 18},
    {true, 3, 11}, {true, 12, 13}, {true, 1, 14}, {true, 3, 16},
};

inline constexpr Region_Site kRegion_4_Sites[] = {
    {"Darwin", 0.447f, 0.864f, 0.8f},
    {"Katherine", 0.475f, 0.813f, 0.5f},
    {"Wyndham", 0.392f, 0.788f, 0.5f},
    {"Derby", 0.303f, 0.743f, 0.5f},
    {"Newman", 0.225f, 0.591f, 0.5f},
    {"Port Hedland", 0.202f, 0.667f, 0.5f},
    {"Dampier", 0.164f, 0.658f, 0.5f},
    {"Carnarvon", 0.103f, 0.553f, 0.5f},
    {"Meekatharra", 0.2f, 0.51f, 0.5f},
    {"Perth", 0.147f, 0.376f, 1.2f},
    {"Bunbury", 0.143f, 0.342f, 0.6f},
    {"Albany", 0.188f, 0.299f, 0.5f},
    {"Esperance", 0.268f, 0.329f, 0.5f},
    {"Kalgoorlie", 0.259f, 0.406f, 0.6f},
    {"Tennant Creek", 0.514f, 0.684f, 0.5f},
    {"Alice Springs", 0.508f, 0.583f, 0.6f},
    {"Coober Pedy", 0.525f, 0.45f, 0.5f},
    {"Ceduna", 0.504f, 0.372f, 0.5f},
    {"Port Lincoln", 0.547f, 0.307f, 0.5f},
    {"Adelainde", 0.602f, 0.302f, 1.0f},
    {"Melbourne", 0.729f, 0.23f, 1.3f},
    {"Canberra", 0.813f, 0.293f, 0.8f},
    {"Hobart", 0.777f, 0.103f, 0.7f},
    {"Brisbane", 0.891f, 0.488f, 1.1f},
    {"Wagga Wagga", 0.777f, 0.297f, 0.5f},
    {"Sidney", 0.854f, 0.328f, 1.5f},
    {"Cairns", 0.745f, 0.752f, 0.6f},
    {"Mount Isa", 0.62f, 0.657f, 0.5f},
    {"Rockhampton", 0.84f, 0.591f, 0.5f},
    {"Cunnamulla", 0.744f, 0.473f, 0.5f},
    {"Broken Hill", 0.659f, 0.376f, 0.5f},
};

inline constexpr Link_Edit kRegion_4_Edits[] = {
    {true, 0, 1}, {true, 1, 2}, {true, 2, 3}, {true, 4, 5}, {true, 5, 6}, {true, 6, 7},
    {true, 7, 8}, {true, 8, 9}, {true, 9, 10}, {true, 10, 11}, {true, 11, 12}, {true, 12, 13},
    {true, 14, 15}, {true, 15, 16}, {true, 16, 17}, {true, 17, 18}, {true, 18, 19}, {true, 19, 20},
    {true, 20, 21}, {true, 24, 25}, {true, 29, 30}, {true, 28, 29}, {true, 16, 30}, {false, 16, 18},
    {true, 2, 14},
};

inline constexpr Region_Site kRegion_5_Sites[] = {
    {"Torshavn", 0.137f, 0.707f, 0.5f},
    {"Glasgow", 0.179f, 0.557f, 0.8f},
    {"Edinburgh", 0.197f, 0.56f, 0.8f},
    {"Belfast", 0.151f, 0.527f, 0.6f},
    {"Dublin", 0.146f, 0.496f, 0.8f},
    {"London", 0.248f, 0.452f, 1.5f},
    {"Manchester", 0.213f, 0.5f, 0.9f},
    {"Cardiff", 0.197f, 0.451f, 0.6f},
    {"Oslo", 0.429f, 0.656f, 0.8f},
    {"Stockholm", 0.551f, 0.642f, 0.9f},
    {"Copenhagen", 0.459f, 0.553f, 0.8f},
    {"Helsinki", 0.666f, 0.662f, 0.7f},
    {"Tallinn", 0.663f, 0.644f, 0.6f},
    {"Moskva (Moscow)", 0.877f, 0.555f, 1.5f},
    {"Riga", 0.652f, 0.584f, 0.6f},
    {"Minsk", 0.71f, 0.51f, 0.8f},
    {"Warszawa (Warsaw)", 0.6f, 0.469f, 1.0f},
    {"Berlin", 0.473f, 0.476f, 1.2f},
    {"Hamburg", 0.417f, 0.501f, 0.9f},
    {"Paris", 0.289f, 0.387f, 1.4f},
    {"Madrid", 0.188f, 0.182f, 1.2f},
    {"Lisboa (Lisbon)", 0.098f, 0.14f, 0.9f},
    {"Cagliari", 0.402f, 0.153f, 0.5f},
    {"Palermo", 0.473f, 0.126f, 0.7f},
    {"Roma (Rome)", 0.458f, 0.218f, 1.2f},
    {"Tirana", 0.58f, 0.204f, 0.6f},
    {"Ath\xED" "nai (Athens)", 0.646f, 0.122f, 1.0f},
    {"Istanbul", 0.733f, 0.196f, 1.4f},
    {"Budapest", 0.567f, 0.354f, 0.9f},
    {"Praha (Prague)", 0.491f, 0.417f, 0.8f},
    {"Bucuresti (Bucharest)", 0.685f, 0.279f, 0.9f},
    {"Kyyiv (Kiev)", 0.759f, 0.426f, 1.0f},
    {"Wien (Vienna)", 0.523f, 0.371f, 0.9f},
    {"Beograd (Belgrade)", 0.591f, 0.288f, 0.8f},
    {"Hammerfest", 0.645f, 0.917f, 0.5f},
    {"Z\xFC" "rich", 0.392f, 0.351f, 0.7f},
};

inline constexpr Link_Edit kRegion_5_Edits[] = {
    {true, 1, 2}, {true, 2, 3}, {true, 3, 4}, {true, 4, 5}, {true, 5, 6}, {true, 6, 7},
    {true, 8, 9}, {true, 9, 10}, {true, 11, 12}, {true, 14, 15}, {true, 15, 16}, {true, 16, 17},
    {true, 17, 18}, {true, 22, 23}, {true, 23, 24}, {true, 24, 25}, {true, 26, 27}, {true, 28, 29},
    {true, 32, 33}, {true, 0, 1}, {true, 22, 20}, {true, 24, 33}, {true, 8, 18}, {false, 17, 35},
    {true, 18, 35}, {true, 26, 30}, {false, 16, 32}, {true, 23, 26}, {true, 13, 31}, {false, 3, 5},
    {true, 19, 20}, {true, 27, 31}, {false, 16, 29}, {true, 10, 16}, {true, 12, 13}, {false, 17, 32},
    {true, 11, 13},
};

inline constexpr Region_Site kRegion_6_Sites[] = {
    {"Astana", 0.17f, 0.865f, 0.8f},
    {"Toskent (Tashkent)", 0.147f, 0.691f, 0.9f},
    {"Dushanbe", 0.142f, 0.642f, 0.6f},
    {"Islamabad", 0.187f, 0.556f, 0.8f},
    {"Ni Dilli (New Delhi)", 0.23f, 0.467f, 1.5f},
    {"Bengaluru (Bangalore)", 0.234f, 0.191f, 1.2f},
    {"Dhaka", 0.368f, 0.382f, 1.3f},
    {"Yangon (Rangoon)", 0.429f, 0.259f, 0.9f},
    {"Krung Thep (Bangkok)", 0.474f, 0.204f, 1.2f},
    {"Phnom Penh", 0.52f, 0.166f, 0.7f},
    {"Manila", 0.688f, 0.219f, 1.1f},
    {"Kathmandu", 0.315f, 0.451f, 0.7f},
    {"Timphu (Thimphu)", 0.36f, 0.447f, 0.5f},
    {"Ha Noi (Hanoi)", 0.53f, 0.333f, 0.9f},
    {"Beijing", 0.64f, 0.666f, 1.5f},
    {"Ulaanbaatar", 0.541f, 0.807f, 0.6f},
    {"Xianggang (Hong Kong)", 0.617f, 0.356f, 1.2f},
    {"Taipei", 0.694f, 0.403f, 0.9f},
    {"Tokyo", 0.884f, 0.591f, 1.5f},
    {"Sapporo", 0.901f, 0.722f, 0.7f},
    {"Seoul", 0.751f, 0.625f, 1.2f},
    {"Habarovsk (Khabarovsk)", 0.836f, 0.817f, 0.6f},
    {"Shanghai", 0.693f, 0.513f, 1.4f},
    {"Vientiane", 0.496f, 0.279f, 0.5f},
    {"Fukuoka", 0.787f, 0.555f, 0.7f},
    {"Almaty", 0.227f, 0.725f, 0.8f},
    {"Mandalay", 0.428f, 0.349f, 0.6f},
    {"Chengdu", 0.511f, 0.501f, 1.1f},
    {"Changsha", 0.604f, 0.46f, 0.8f},
    {"Qingdao", 0.682f, 0.598f, 0.8f},
};

inline constexpr Link_Edit kRegion_6_Edits[] = {
    {true, 1, 2}, {true, 2, 3}, {true, 3, 4}, {true, 6, 7}, {true, 7, 8}, {true, 8, 9},
    {true, 11, 12}, {true, 16, 17}, {true, 18, 19}, {true, 7, 5}, {true, 12, 27}, {true, 4, 6},
    {false, 16, 23}, {true, 3, 25}, {true, 0, 1}, {false, 1, 3}, {true, 9, 10}, {true, 17, 24},
    {false, 8, 13}, {true, 10, 17}, {true, 2, 4},
};

inline constexpr Region_Site kRegion_7_Sites[] = {
    {"Tunis", 0.183f, 0.492f, 0.8f},
    {"Tarabulus (Tripoli)", 0.261f, 0.332f, 0.8f},
    {"Banghazi", 0.438f, 0.3f, 0.6f},
    {"Alexandria", 0.691f, 0.263f, 0.9f},
    {"Cairo", 0.725f, 0.215f, 1.5f},
    {"Israel", 0.827f, 0.286f, 0.7f},
    {"Bayrut (Beirut)", 0.834f, 0.373f, 0.7f},
    {"Lefkosia (Nicosia)", 0.78f, 0.426f, 0.5f},
    {"Adana", 0.83f, 0.5f, 0.6f},
    {"Ankara", 0.766f, 0.62f, 1.0f},
    {"Izmir", 0.619f, 0.558f, 0.8f},
    {"Istanbul", 0.667f, 0.664f, 1.4f},
    {"Bucuresti (Bucharest)", 0.593f, 0.804f, 0.9f},
    {"Athens", 0.532f, 0.54f, 1.0f},
    {"Palermo", 0.265f, 0.546f, 0.7f},
    {"Roma (Rome)", 0.243f, 0.7f, 1.2f},
    {"Sarajevo", 0.395f, 0.781f, 0.6f},
    {"Sofia", 0.521f, 0.733f, 0.7f},
    {"Zagreb", 0.332f, 0.86f, 0.6f},
    {"Amman", 0.845f, 0.293f, 0.7f},
    {"Konya", 0.757f, 0.536f, 0.6f},
    {"Halab (Aleppo)", 0.876f, 0.467f, 0.7f},
    {"Odesa", 0.711f, 0.888f, 0.7f},
    {"Valletta", 0.295f, 0.455f, 0.5f},
    {"Milano (Milan)", 0.158f, 0.846f, 1.0f},
    {"Napoli (Naples)", 0.288f, 0.658f, 0.9f},
    {"Qabis", 0.181f, 0.372f, 0.5f},
    {"Sinawin", 0.194f, 0.256f, 0.5f},
    {"Tin Fouye", 0.114f, 0.142f, 0.5f},
};

inline constexpr Link_Edit kRegion_7_Edits[] = {
    {true, 3, 4}, {true, 4, 5}, {true, 5, 6}, {true, 6, 7}, {true, 7, 8}, {true, 8, 9},
    {true, 10, 11}, {true, 16, 17}, {true, 20, 21}, {true, 26, 27}, {true, 25, 16}, {true, 12, 11},
    {true, 14, 15}, {true, 9, 10}, {false, 7, 19}, {true, 11, 17}, {true, 15, 16}, {false, 6, 8},
    {true, 18, 24},
};

inline constexpr Region_Site kRegion_8_Sites[] = {
    {"Seattle", 0.105f, 0.867f, 1.0f},
    {"Portland", 0.1f, 0.795f, 0.8f},
    {"San Francisco", 0.104f, 0.527f, 1.1f},
    {"Los Angeles", 0.166f, 0.398f, 1.4f},
    {"San Diego", 0.183f, 0.352f, 0.9f},
    {"Las Vegas", 0.213f, 0.471f, 0.8f},
    {"Phoenix", 0.259f, 0.377f, 1.0f},
    {"Salt Lake City", 0.262f, 0.63f, 0.7f},
    {"Denver", 0.365f, 0.595f, 0.9f},
    {"El Paso", 0.343f, 0.319f, 0.7f},
    {"San Antonio", 0.463f, 0.238f, 0.9f},
    {"Dallas", 0.488f, 0.354f, 1.1f},
    {"Houston", 0.509f, 0.249f, 1.2f},
    {"New Orleans", 0.589f, 0.256f, 0.8f},
    {"Miami", 0.737f, 0.111f, 1.0f},
    {"Jacksonville", 0.715f, 0.269f, 0.7f},
    {"Atlanta", 0.674f, 0.388f, 1.0f},
    {"Memphis", 0.589f, 0.436f, 0.7f},
    {"Charleston", 0.741f, 0.354f, 0.6f},
    {"Kansas City", 0.521f, 0.573f, 0.8f},
    {"St. Louis", 0.587f, 0.556f, 0.8f},
    {"Chicago", 0.626f, 0.669f, 1.3f},
    {"Minneapolis", 0.541f, 0.776f, 0.9f},
    {"Pittsburgh", 0.74f, 0.619f, 0.8f},
    {"Cleveland", 0.715f, 0.656f, 0.8f},
    {"Washington D.C.", 0.784f, 0.566f, 1.0f},
    {"New York", 0.83f, 0.628f, 1.5f},
    {"Boston", 0.874f, 0.686f, 1.0f},
    {"Philadelphia", 0.812f, 0.602f, 1.0f},
    {"Norfolk", 0.796f, 0.495f, 0.6f},
};

inline constexpr Link_Edit kRegion_8_Edits[] = {
    {true, 2, 3}, {true, 3, 4}, {true, 4, 5}, {true, 5, 6}, {true, 9, 10}, {true, 10, 11},
    {true, 11, 12}, {true, 12, 13}, {true, 15, 16}, {true, 16, 17}, {true, 19, 20}, {true, 20, 21},
    {true, 23, 24}, {true, 24, 25}, {true, 25, 26}, {true, 26, 27}, {true, 27, 28}, {true, 28, 29},
    {true, 1, 7}, {true, 8, 19}, {true, 18, 29}, {true, 17, 19}, {false, 26, 29}, {true, 13, 16},
    {true, 16, 29}, {false, 24, 28}, {true, 24, 27}, {true, 4, 9}, {false, 3, 6}, {true, 5, 7},
};

#define VT_REGION(n) \
  kRegion_##n##_Sites, static_cast<int>(std::size(kRegion_##n##_Sites)), kRegion_##n##_Edits, \
      static_cast<int>(std::size(kRegion_##n##_Edits))
inline constexpr Region kRegions[] = {
    {"North America", 0x22000134, 0x22000135, VT_REGION(1)},
    {"Indonesia", 0x22000136, 0x22000137, VT_REGION(2)},
    {"Africa", 0x22000138, 0x22000139, VT_REGION(3)},
    {"Australia", 0x2200013a, 0x2200013b, VT_REGION(4)},
    {"Europe", 0x2200013c, 0x2200013d, VT_REGION(5)},
    {"Central Asia", 0x2200013e, 0x2200013f, VT_REGION(6)},
    {"Mediterranean", 0x22000140, 0x22000141, VT_REGION(7)},
    {"United States of America", 0x2200007e, 0x22000082, VT_REGION(8)},
};
#undef VT_REGION

}  // namespace warroom_data
