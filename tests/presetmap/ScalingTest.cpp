// The scaling engines: distances kept in the plane, every point on the square whatever the input.
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "presetmap/scaling/CMDSScalerEngine.h"

namespace corvex {
namespace {

float distance(const MapPoint& a, const MapPoint& b) { return std::hypot(a.x - b.x, a.y - b.y); }

void expectOnSquare(const MapCoordinates& points) {
    for (const MapPoint& p : points) {
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
        EXPECT_GE(p.x, 0.0f);
        EXPECT_LE(p.x, kMapExtent);
        EXPECT_GE(p.y, 0.0f);
        EXPECT_LE(p.y, kMapExtent);
    }
}

// Before the per-axis stretch the engine's points keep the plane's distances: read them unstretched.
MapCoordinates placeWithoutStretch(const FeatureVectors& features) {
    struct Unstretched : CMDSScalerEngine {
        void normaliseCoordinates(MapCoordinates&) override {}
    } engine;
    MapCoordinates points;
    engine.computeMap(points, features);
    return points;
}

TEST(MdsScaling, PointsOfAPlaneComeOutAsThatPlaneTurnedOrMirrored) {
    // Five points of a tilted plane in four dimensions, spread most along its first direction.
    const auto lift = [](float u, float v) {
        return std::vector<float>{0.6f * u, 0.8f * u, 0.8f * v, -0.6f * v + 0.0f * u};
    };
    const std::vector<std::pair<float, float>> plane{{0, 0}, {40, 0}, {0, 10}, {25, 7}, {-12, 3}};
    FeatureVectors features;
    for (const auto& [u, v] : plane) features.push_back(lift(u, v));

    const MapCoordinates points = placeWithoutStretch(features);
    ASSERT_EQ(points.size(), plane.size());
    for (size_t i = 0; i < plane.size(); ++i)
        for (size_t j = 0; j < i; ++j) {
            const float expected = std::hypot(plane[i].first - plane[j].first, plane[i].second - plane[j].second);
            EXPECT_NEAR(distance(points[i], points[j]), expected, 1e-3f * expected + 1e-3f) << i << "-" << j;
        }
    // The direction of largest spread (u) becomes x.
    EXPECT_NEAR(std::abs(points[1].x - points[0].x), 40.0f, 0.05f);
    EXPECT_NEAR(std::abs(points[2].y - points[0].y), 10.0f, 0.05f);
}

TEST(MdsScaling, IdenticalPatchesShareOnePlaceAndTheExtremesTouchTheEdges) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    FeatureVectors features(40, std::vector<float>(133));
    for (auto& feature : features)
        for (float& v : feature) v = value(random);
    features[17] = features[3];

    CMDSScalerEngine engine;
    MapCoordinates points;
    engine.computeMap(points, features);
    ASSERT_EQ(points.size(), features.size());
    EXPECT_FLOAT_EQ(points[17].x, points[3].x);
    EXPECT_FLOAT_EQ(points[17].y, points[3].y);
    expectOnSquare(points);
    float minX = kMapExtent, maxX = 0, minY = kMapExtent, maxY = 0;
    for (const MapPoint& p : points) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    EXPECT_EQ(minX, 0.0f);
    EXPECT_EQ(maxX, kMapExtent);
    EXPECT_EQ(minY, 0.0f);
    EXPECT_EQ(maxY, kMapExtent);
}

TEST(MdsScaling, DegenerateLibrariesGetDefinedPlaces) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kMid = kMapExtent / 2;
    struct Case {
        const char* name;
        FeatureVectors features;
        std::vector<MapPoint> expected; // empty: only checked to lie on the square
    };
    const std::vector<Case> cases{
        {"no patch", {}, {}},
        {"one patch", {{0.3f, 0.7f}}, {{kMid, kMid}}},
        {"two patches: x spans the map, y has no spread", {{0.0f, 0.0f}, {3.0f, 4.0f}}, {}},
        {"identical patches", {{0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}}, {{kMid, kMid}, {kMid, kMid}, {kMid, kMid}}},
        {"points on one line: no y spread", {{0.0f}, {1.0f}, {3.0f}, {7.0f}}, {}},
        {"vectors of different lengths", {{1.0f, 2.0f, 3.0f}, {1.0f}, {}, {0.0f, 5.0f}}, {}},
        {"a value that is not finite", {{0.0f, 1.0f}, {kNaN, 1.0f}, {2.0f, 0.0f}}, {{kMid, kMid}, {kMid, kMid}, {kMid, kMid}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMDSScalerEngine engine;
        MapCoordinates points;
        ::testing::internal::CaptureStderr();
        engine.computeMap(points, c.features);
        const std::string log = ::testing::internal::GetCapturedStderr();
        ASSERT_EQ(points.size(), c.features.size());
        expectOnSquare(points);
        for (size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_FLOAT_EQ(points[i].x, c.expected[i].x) << i;
            EXPECT_FLOAT_EQ(points[i].y, c.expected[i].y) << i;
        }
        if (c.features.size() == 2) {
            EXPECT_EQ(std::abs(points[1].x - points[0].x), kMapExtent);
            EXPECT_EQ(points[0].y, kMid);
        }
        if (std::string(c.name).find("line") != std::string::npos) {
            for (const MapPoint& p : points) EXPECT_EQ(p.y, kMid);
            EXPECT_NEAR(std::abs(points[2].x - points[1].x), kMapExtent * 2 / 7, 0.01f) << "spacing kept along x";
        }
        if (std::string(c.name).find("finite") != std::string::npos) {
            EXPECT_NE(log.find("eigen solver failed"), std::string::npos);
        }
    }
}

TEST(BasicScaling, PlacesNoPointAndDecomposesInAscendingOrder) {
    CBasicScalerEngine engine;
    MapCoordinates points;
    engine.computeMap(points, {{0.0f}, {1.0f}, {5.0f}});
    EXPECT_TRUE(points.empty());

    CBasicScalerEngine::Matrix d, v;
    CBasicScalerEngine::Vector lambda;
    engine.computeDistanceMatrix(d, {{0.0f, 0.0f}, {3.0f, 4.0f}, {0.0f, 1.0f}});
    EXPECT_FLOAT_EQ(d(0, 1), 5.0f);
    EXPECT_FLOAT_EQ(d(1, 0), 5.0f);
    EXPECT_FLOAT_EQ(d(2, 2), 0.0f);
    ASSERT_TRUE(engine.decompose(v, lambda, d));
    ASSERT_EQ(lambda.size(), 3);
    EXPECT_LE(lambda(0), lambda(1));
    EXPECT_LE(lambda(1), lambda(2));
    // Each column is a unit eigenvector of its eigenvalue.
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(v.col(k).norm(), 1.0f, 1e-5f);
        EXPECT_LT((d * v.col(k) - lambda(k) * v.col(k)).norm(), 1e-4f);
    }
}

} // namespace
} // namespace corvex
