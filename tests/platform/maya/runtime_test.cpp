// The stand-in's API classes as a plug-in sees them: statuses and strings,
// failure injection, the Render View, name look-up and the function sets.
#include "control.h"

#include <maya/M3dView.h>
#include <maya/MColorArray.h>
#include <maya/MDagPath.h>
#include <maya/MFnCamera.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MItMeshVertex.h>
#include <maya/MPoint.h>
#include <maya/MRenderView.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ctl = maya_runtime::control;

namespace {

class Runtime : public ::testing::Test {
protected:
    void SetUp() override { ctl::reset(); }
    void TearDown() override { ctl::reset(); }

    // Transform "box" with mesh "boxShape" (one triangle), camera "cam".
    static void buildScene() {
        ctl::createMesh("box", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2}}, {});
        ctl::createCamera("cam", {}, 35.0, 0.1, 1000.0, 1.5);
    }

    static MDagPath pathOf(const char* name) {
        MSelectionList list;
        MDagPath path;
        EXPECT_TRUE(list.add(name));
        EXPECT_TRUE(list.getDagPath(0, path));
        return path;
    }
};

TEST_F(Runtime, StringsJoinAndTreatNullAsEmpty) {
    EXPECT_STREQ(MString(static_cast<const char*>(nullptr)).asChar(), "");
    const MString joined = MString("fn") + "() : " + MString("text");
    EXPECT_STREQ(joined.asChar(), "fn() : text");
    EXPECT_STREQ(("a" + MString("b")).asChar(), "ab");
    EXPECT_EQ(MString("abc").length(), 3u);
}

TEST_F(Runtime, InjectedFailureCarriesItsTextUntilReset) {
    buildScene();
    ctl::fail("MSelectionList::add", "injected text");
    MSelectionList list;
    MStatus status = list.add("box");
    EXPECT_EQ(status, MStatus::kFailure);
    EXPECT_STREQ(status.errorString().asChar(), "injected text");
    EXPECT_FALSE(status);

    // The text is the one given, even when empty; only a bare code has the code's text.
    ctl::fail("MSelectionList::add", "");
    status = list.add("box");
    EXPECT_EQ(status, MStatus::kFailure);
    EXPECT_STREQ(status.errorString().asChar(), "");
    EXPECT_STREQ(MStatus(MStatus::kFailure).errorString().asChar(), "Unexpected Internal Failure");

    ctl::reset();
    buildScene();
    EXPECT_TRUE(list.add("box"));
    EXPECT_THROW(ctl::fail("MSelectionList::nothing", "x"), std::invalid_argument);
}

TEST_F(Runtime, EveryFailableOperationRefusesWhenInjected) {
    for (const std::string op : {"MGlobal::getActiveSelectionList", "MSelectionList::getDagPath",
                                  "M3dView::getCamera", "MFnCamera::projectionMatrix",
                                  "MFnMesh::setVertexColors", "MRenderView::refresh"}) {
        ctl::reset();
        buildScene();
        ctl::select({"box"});
        ctl::setActiveCamera("cam");
        ctl::fail(op, op + " failed");
        MSelectionList active;
        MDagPath path, camera;
        const int ids[] = {0, 1, 2};
        MColorArray colors(3, MColor());
        MIntArray vertices(ids, 3);
        MStatus status = MGlobal::getActiveSelectionList(active);
        if (status) status = active.getDagPath(0, path);
        if (status) status = M3dView::active3dView().getCamera(camera);
        if (status) MFnCamera(camera).projectionMatrix(&status);
        if (status) status = MFnMesh(path).setVertexColors(colors, vertices);
        if (status) status = MRenderView::refresh(0, 0, 0, 0);
        EXPECT_EQ(status, MStatus::kFailure) << op;
        EXPECT_EQ(std::string(status.errorString().asChar()), op + " failed");
    }
}

TEST_F(Runtime, MessagesAreRecordedInOrder) {
    MGlobal::displayInfo("one");
    MGlobal::displayWarning("careful");
    MGlobal::displayInfo("two");
    EXPECT_EQ(ctl::infos(), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(ctl::warnings(), std::vector<std::string>{"careful"});
}

TEST_F(Runtime, RenderViewKeepsPixelsBottomRowFirst) {
    ASSERT_TRUE(MRenderView::startRender(2, 2, true, false));
    RV_PIXEL pixels[4] = {{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}, {4, 4, 4, 4}};
    ASSERT_TRUE(MRenderView::updatePixels(0, 1, 0, 1, pixels, false, 0, nullptr));
    RV_PIXEL corner = {9, 8, 7, 6};
    ASSERT_TRUE(MRenderView::updatePixels(1, 1, 1, 1, &corner));  // top right only
    ASSERT_TRUE(MRenderView::refresh(0, 1, 0, 1));
    ASSERT_TRUE(MRenderView::endRender());

    unsigned w = 0, h = 0;
    const float* image = nullptr;
    ASSERT_TRUE(ctl::renderViewImage(w, h, image));
    ASSERT_EQ(w, 2u);
    ASSERT_EQ(h, 2u);
    const std::vector<float> expected = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 9, 8, 7, 6};
    EXPECT_EQ(std::vector<float>(image, image + 16), expected);

    const auto& calls = ctl::renderViewCalls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].operation, "MRenderView::startRender");
    EXPECT_EQ(calls[0].args.size(), 4u);
    EXPECT_EQ(calls[1].operation, "MRenderView::updatePixels");
    EXPECT_EQ(calls[1].args[1].value, 1);
    EXPECT_EQ(calls[4].operation, "MRenderView::endRender");
}

TEST_F(Runtime, RenderViewFailures) {
    RV_PIXEL pixel = {5, 5, 5, 255};
    // A failed start still lets the pixels through: the image grows to hold them.
    ctl::fail("MRenderView::startRender", "no start");
    EXPECT_FALSE(MRenderView::startRender(1, 1));
    EXPECT_TRUE(MRenderView::updatePixels(0, 0, 0, 0, &pixel));
    unsigned w = 0, h = 0;
    const float* image = nullptr;
    ASSERT_TRUE(ctl::renderViewImage(w, h, image));
    EXPECT_EQ(image[3], 255.0f);

    // Bad regions and sizes are refused, without touching memory.
    EXPECT_EQ(MRenderView::updatePixels(1, 0, 0, 0, &pixel), MStatus::kInvalidParameter);
    EXPECT_EQ(MRenderView::updatePixels(0xffffffffu, 0xffffffffu, 0, 0, &pixel), MStatus::kInvalidParameter);
    EXPECT_EQ(MRenderView::refresh(0, 0, 2, 1), MStatus::kInvalidParameter);


    ctl::reset();
    EXPECT_EQ(MRenderView::startRender(0, 1), MStatus::kInvalidParameter);
    EXPECT_EQ(MRenderView::startRender(1u << 20, 1u << 20), MStatus::kInvalidParameter);

    // Without a Render View every call fails, and is still recorded.
    ctl::reset();
    ctl::setRenderViewAvailable(false);
    EXPECT_EQ(MRenderView::startRender(1, 1), MStatus::kFailure);
    EXPECT_EQ(MRenderView::updatePixels(0, 0, 0, 0, &pixel), MStatus::kFailure);
    EXPECT_EQ(MRenderView::refresh(0, 0, 0, 0), MStatus::kFailure);
    EXPECT_EQ(MRenderView::endRender(), MStatus::kFailure);
    EXPECT_EQ(ctl::renderViewCalls().size(), 4u);
    EXPECT_FALSE(ctl::renderViewImage(w, h, image));
}

TEST_F(Runtime, NamesFindTransformShapeAndLongPath) {
    buildScene();
    struct Case {
        const char* name;
        const char* partial;
        MFn::Type type;
    } cases[] = {{"box", "box", MFn::kTransform},
                 {"boxShape", "boxShape", MFn::kMesh},
                 {"|box|boxShape", "boxShape", MFn::kMesh},
                 {"|box", "box", MFn::kTransform}};
    for (const Case& c : cases) {
        const MDagPath path = pathOf(c.name);
        EXPECT_TRUE(path.isValid()) << c.name;
        EXPECT_STREQ(path.partialPathName().asChar(), c.partial) << c.name;
        EXPECT_EQ(path.apiType(), c.type) << c.name;
    }
    EXPECT_STREQ(pathOf("boxShape").fullPathName().asChar(), "|box|boxShape");

    for (const char* missing : {"", "bo", "|boxShape", "|box|cam", "box|", "cam|camShape", "||box"}) {
        MSelectionList list;
        const MStatus status = list.add(missing);
        EXPECT_EQ(status, MStatus::kInvalidParameter) << missing;
        EXPECT_STREQ(status.errorString().asChar(), "Object does not exist");
        EXPECT_EQ(list.length(), 0u);
    }
}

TEST_F(Runtime, PathsExtendToTheirShapeAndFunctionSetsActOnIt) {
    buildScene();
    ctl::createTransform("empty", {});
    MDagPath path = pathOf("box");
    MFnMesh mesh(path);
    EXPECT_EQ(mesh.numVertices(), 3);  // the set reaches the shape below the transform
    EXPECT_STREQ(path.partialPathName().asChar(), "box");
    ASSERT_TRUE(path.extendToShape());
    EXPECT_STREQ(path.partialPathName().asChar(), "boxShape");
    EXPECT_TRUE(path.extendToShape());  // a shape stays itself

    // As a DAG node the set keeps the path it was made on; its node is the shape.
    const MFnDagNode& node = mesh;
    EXPECT_STREQ(node.partialPathName().asChar(), "box");
    EXPECT_STREQ(mesh.name().asChar(), "boxShape");
    MObject shape = mesh.object();
    EXPECT_STREQ(MFnDagNode(shape).partialPathName().asChar(), "boxShape");
    EXPECT_EQ(MItMeshVertex(shape).count(), 3);

    MDagPath empty = pathOf("empty");
    EXPECT_FALSE(empty.extendToShape());
    EXPECT_STREQ(empty.partialPathName().asChar(), "empty");

    MStatus status;
    MFnCamera notACamera(pathOf("box"), &status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    notACamera.projectionMatrix(&status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    MFnCamera camera(pathOf("cam"), &status);
    EXPECT_TRUE(status);
    EXPECT_DOUBLE_EQ(camera.focalLength(), 35.0);
}

TEST_F(Runtime, SelectionAndActiveView) {
    buildScene();
    MSelectionList active;
    ASSERT_TRUE(MGlobal::getActiveSelectionList(active));
    MDagPath path;
    const MStatus status = active.getDagPath(0, path);
    EXPECT_EQ(status, MStatus::kInvalidParameter);  // empty selection
    EXPECT_FALSE(path.isValid());

    MDagPath camera;
    MStatus viewStatus;
    M3dView view = M3dView::active3dView(&viewStatus);
    EXPECT_EQ(viewStatus, MStatus::kFailure);
    EXPECT_EQ(view.getCamera(camera), MStatus::kFailure);

    ctl::select({"boxShape", "cam"});
    ctl::setActiveCamera("cam");
    ASSERT_TRUE(MGlobal::getActiveSelectionList(active));
    ASSERT_EQ(active.length(), 2u);
    ASSERT_TRUE(active.getDagPath(0, path));
    EXPECT_STREQ(path.partialPathName().asChar(), "boxShape");
    ASSERT_TRUE(M3dView::active3dView().getCamera(camera));
    EXPECT_STREQ(camera.fullPathName().asChar(), "|cam|camShape");

    // Paths made before a reset name nothing afterwards.
    ctl::reset();
    EXPECT_FALSE(camera.isValid());
    EXPECT_FALSE(MFnMesh(path).numVertices());
}

TEST_F(Runtime, ColorSetsCreateUniqueNamesAndColourTheCurrentSet) {
    buildScene();
    MFnMesh mesh(pathOf("box"));
    MString name("mask");
    ASSERT_TRUE(mesh.createColorSet(name));
    EXPECT_STREQ(name.asChar(), "mask");
    MString again("mask");
    ASSERT_TRUE(mesh.createColorSet(again));
    EXPECT_STREQ(again.asChar(), "mask1");
    MString unnamed;
    ASSERT_TRUE(mesh.createColorSet(unnamed));
    EXPECT_STREQ(unnamed.asChar(), "colorSet1");
    EXPECT_EQ(ctl::currentColorSet("box"), std::optional<std::string>("mask"));  // the first set

    ASSERT_TRUE(mesh.setCurrentColorSetName("mask1"));
    MColorArray colors;
    colors.append(MColor(0.25f, 0.5f, 0.75f, 1.0f));
    MIntArray ids;
    ids.append(2);
    ASSERT_TRUE(mesh.setVertexColors(colors, ids));
    const std::vector<float> rgba = ctl::vertexColors("boxShape", "mask1");
    EXPECT_EQ(rgba, (std::vector<float>{-1, -1, -1, -1, -1, -1, -1, -1, 0.25f, 0.5f, 0.75f, 1.0f}));

    ids[0] = 3;  // no such vertex: nothing is written
    EXPECT_EQ(mesh.setVertexColors(colors, ids), MStatus::kInvalidParameter);
    ids.append(0);  // lists of different lengths
    EXPECT_EQ(mesh.setVertexColors(colors, ids), MStatus::kInvalidParameter);

    ASSERT_TRUE(mesh.deleteColorSet("mask1"));
    EXPECT_EQ(mesh.deleteColorSet("mask1"), MStatus::kInvalidParameter);
    EXPECT_EQ(mesh.setCurrentColorSetName("mask1"), MStatus::kInvalidParameter);
    EXPECT_EQ(ctl::colorSets("box"), (std::vector<std::string>{"mask", "colorSet1"}));
    EXPECT_EQ(ctl::currentColorSet("box"), std::optional<std::string>("mask"));
}

TEST_F(Runtime, NormalizeScalesOnlyWhatIsLongEnoughAndAlwaysSucceeds) {
    const struct {
        MVector in, out;
    } cases[] = {
        {{3, 4, 0}, {0.6, 0.8, 0}},
        {{1e-9, 0, 0}, {1, 0, 0}},      // squared length 1e-18: scaled
        {{1e-11, 0, 0}, {1e-11, 0, 0}}, // squared length 1e-22: left as it is
        {{0, 0, 0}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        MVector v = c.in;
        EXPECT_EQ(v.normalize(), MStatus::kSuccess) << c.in.x;
        EXPECT_TRUE(v == c.out) << c.in.x << " gave " << v.x << " " << v.y << " " << v.z;
    }
}

TEST_F(Runtime, PointAndVectorArithmeticCartesianizesFirst) {
    const MVector v(1, 1, 1);
    const struct {
        MPoint point, sum, difference;
    } cases[] = {
        {{2, 4, 6, 2}, {2, 3, 4, 1}, {0, 1, 2, 1}},  // (1, 2, 3) once cartesianized
        {{1, 2, 3, 1}, {2, 3, 4, 1}, {0, 1, 2, 1}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(c.point + v == c.sum) << c.point.w;
        EXPECT_TRUE(c.point - v == c.difference) << c.point.w;
        MPoint p = c.point;
        EXPECT_TRUE((p += v) == c.sum) << c.point.w;
        p = c.point;
        EXPECT_TRUE((p -= v) == c.difference) << c.point.w;
    }
}

TEST_F(Runtime, SetVertexColorsWithoutASetMakesOne) {
    buildScene();
    MFnMesh mesh(pathOf("boxShape"));
    MColorArray colors(1, MColor(1, 1, 1, 1));
    MIntArray ids(1, 0);
    ASSERT_TRUE(mesh.setVertexColors(colors, ids));
    EXPECT_EQ(ctl::colorSets("box"), std::vector<std::string>{"colorSet1"});
}

}  // namespace
