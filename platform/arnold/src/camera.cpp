// Matrices and the camera: what AiDriverGetMatrices answers.

#include <cmath>

#include "internal.h"

namespace {

// Clip planes of the projection; the far plane is far enough to count as
// infinite, so the projection keeps depth directions (entry [2][2] is -1).
constexpr double kNear = 1.0e-4;
constexpr double kFar = 1.0e30;
constexpr double kPi = 3.14159265358979323846;

AtMatrix multiply(const AtMatrix& a, const AtMatrix& b)
{
    AtMatrix result{};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += static_cast<double>(a[row][k]) * b[k][col];
            result[row][col] = static_cast<float>(sum);
        }
    return result;
}

// Gauss-Jordan elimination with partial pivoting, in double precision. False
// for a singular matrix.
bool invert(const AtMatrix& m, AtMatrix& inverse)
{
    double a[4][8];
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            a[row][col] = m[row][col];
            a[row][col + 4] = row == col ? 1.0 : 0.0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 4; ++row)
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col]))
                pivot = row;
        if (std::fabs(a[pivot][col]) < 1e-12)
            return false;
        if (pivot != col)
            for (int k = 0; k < 8; ++k)
                std::swap(a[col][k], a[pivot][k]);
        const double scale = 1.0 / a[col][col];
        for (int k = 0; k < 8; ++k)
            a[col][k] *= scale;
        for (int row = 0; row < 4; ++row) {
            if (row == col)
                continue;
            const double factor = a[row][col];
            for (int k = 0; k < 8; ++k)
                a[row][k] -= factor * a[col][k];
        }
    }
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            inverse[row][col] = static_cast<float>(a[row][col + 4]);
    return true;
}

// Camera space to clip space for row vectors: x and y scaled by
// 1 / tan(fov / 2), w = -z (the camera looks down -Z), z mapped to -1 at the
// near and +1 at the far plane.
AtMatrix perspective(float fov_degrees)
{
    const double scale = 1.0 / std::tan(fov_degrees * kPi / 360.0);
    AtMatrix p{};
    p[0][0] = static_cast<float>(scale);
    p[1][1] = static_cast<float>(scale);
    p[2][2] = static_cast<float>(-(kFar + kNear) / (kFar - kNear));
    p[2][3] = -1.0f;
    p[3][2] = static_cast<float>(-2.0 * kFar * kNear / (kFar - kNear));
    return p;
}

}  // namespace

AI_API AtMatrix AiM4Identity()
{
    AtMatrix m{};
    for (int i = 0; i < 4; ++i)
        m[i][i] = 1.0f;
    return m;
}

AI_API AtVector AiM4VectorByMatrixMult(const AtMatrix& m, const AtVector& v)
{
    return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0],
            v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
            v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
}

AI_API AtVector AiM4PointByMatrixMult(const AtMatrix& m, const AtVector& p)
{
    const float x = p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0];
    const float y = p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1];
    const float z = p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2];
    const float w = p.x * m[0][3] + p.y * m[1][3] + p.z * m[2][3] + m[3][3];
    if (w == 0.0f || w == 1.0f)
        return {x, y, z};
    return {x / w, y / w, z / w};
}

namespace ai_standin {

AI_API AtNode* camera(const AtUniverse* universe)
{
    if (!universe)
        return nullptr;
    return static_cast<AtNode*>(AiNodeGetPtr(universe->options, AtString("camera")));
}

AI_API bool set_camera(AtUniverse* universe, const AtMatrix& camera_to_world, float fov_degrees)
{
    AtNode* cam = camera(universe);
    if (!cam || cam->kind != AI_NODE_CAMERA)
        return false;
    std::unique_lock lock(cam->mutex);
    cam->camera.camera_to_world = camera_to_world;
    cam->camera.fov_degrees = fov_degrees;
    return true;
}

// Identity for both without a camera, or with one whose matrix is singular.
AI_API bool camera_matrices(const AtUniverse* universe, AtMatrix& world_to_camera,
                            AtMatrix& world_to_screen)
{
    world_to_camera = AiM4Identity();
    world_to_screen = AiM4Identity();
    const AtNode* cam = camera(universe);
    if (!cam || cam->kind != AI_NODE_CAMERA)
        return false;
    CameraData data;
    {
        std::shared_lock lock(cam->mutex);
        data = cam->camera;
    }
    AtMatrix inverse;
    if (!invert(data.camera_to_world, inverse))
        return false;
    world_to_camera = inverse;
    world_to_screen = multiply(inverse, perspective(data.fov_degrees));
    return true;
}

}  // namespace ai_standin

AI_API bool AiDriverGetMatrices(AtMatrix& world_to_camera, AtMatrix& world_to_screen)
{
    if (standin::failing("AiDriverGetMatrices")) {
        world_to_camera = AiM4Identity();
        world_to_screen = AiM4Identity();
        return false;
    }
    return ai_standin::camera_matrices(standin::acting_universe(), world_to_camera,
                                       world_to_screen);
}
